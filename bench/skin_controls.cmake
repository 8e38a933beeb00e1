# The skinned controls of the forms, a whole 1280 x 800 form of them frame after frame, beside
# the same form with its skin manager inactive.
tessary_bench(skin_controls_bench OWN_MAIN DEPS skin_controls skin_resources)
# The set of controls is the one of the controls' screenshot test.
target_sources(skin_controls_bench PRIVATE
               ${PROJECT_SOURCE_DIR}/tests/skin/controls/controls_set.cpp)
