# The effects of the window skinning: one fade frame of a button, a live move of the main window
# with extended borders beside the same move without them, a halo shown and hidden.
tessary_bench(skin_effects_bench OWN_MAIN DEPS lists skin_windows platform_display skin_resources)
