# The whole program skinned beside the same program with its skin manager made inactive:
# start-up, a full repaint, a resize by the frame, the number grid scrolled, resident memory.
tessary_bench(program_bench OWN_MAIN DEPS gateway lists skin_windows platform_display skin_resources)
