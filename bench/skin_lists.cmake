# The skinned lists scrolled page by page beside the same with their skin manager inactive, the
# date edit's popup calendar and one HTML hint.
tessary_bench(skin_lists_bench OWN_MAIN DEPS skin_controls skin_resources)
