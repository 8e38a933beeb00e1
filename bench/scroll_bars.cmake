# The skinned scroll bars of an edit window beside the classic ones, and typing with them.
tessary_bench(scroll_bars_bench OWN_MAIN DEPS skin_windows platform_controls skin_resources)
