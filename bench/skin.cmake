# The skin core beside well-kept libraries: PNG decoding against libpng, CRC against zlib,
# resampling and blending against pixman.
find_package(PNG REQUIRED)
find_package(PkgConfig REQUIRED)
pkg_check_modules(PIXMAN REQUIRED IMPORTED_TARGET pixman-1)
tessary_bench(skin_core_bench OWN_MAIN DEPS skin_core PNG::PNG PkgConfig::PIXMAN)
# The same libpng writer makes the benchmark's pictures as the tests'.
target_sources(skin_core_bench PRIVATE ${PROJECT_SOURCE_DIR}/tests/skin/core/png_reference.cpp)
# The skins it reads are written by the tests' skin writer.
target_sources(skin_core_bench PRIVATE ${PROJECT_SOURCE_DIR}/tests/skin/core/skin_writer.cpp)
