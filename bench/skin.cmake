# The skin core beside well-kept libraries: PNG decoding against libpng, CRC against zlib,
# resampling and blending against pixman.
find_package(PNG REQUIRED)
find_package(PkgConfig REQUIRED)
pkg_check_modules(PIXMAN REQUIRED IMPORTED_TARGET pixman-1)
tessary_bench(skin_core_bench DEPS skin_core PNG::PNG PkgConfig::PIXMAN)
