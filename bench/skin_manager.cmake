# Loading the internal skin through the skin manager, from the program's resource, a folder and
# a packed file, alone and with the broadcast to a form of 200 controls.
tessary_bench(skin_manager_bench DEPS skin_core skinbuild_core skin_resources)
target_sources(skin_manager_bench PRIVATE ${PROJECT_SOURCE_DIR}/tests/skin/core/skin_recorders.cpp)
