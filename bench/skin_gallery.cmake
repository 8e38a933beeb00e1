# Whole forms of skinned controls painted frame after frame, beside the classic look.
tessary_bench(skin_gallery_bench OWN_MAIN DEPS skin_core platform_controls PNG::PNG)
# The gallery's controls and their PNG glyphs come from the skin core's tests.
target_sources(skin_gallery_bench PRIVATE ${PROJECT_SOURCE_DIR}/tests/skin/core/gallery_controls.cpp
                                          ${PROJECT_SOURCE_DIR}/tests/skin/core/png_reference.cpp)
target_link_libraries(skin_gallery_bench PRIVATE skin_resources)
