# The main window's "Список" pop-up opened until painted, drawn by the skin beside the classic look.
tessary_bench(skinned_menus_bench OWN_MAIN DEPS lists skin_windows platform_display skin_resources)
