# The drawing layer's benchmarks; pixman is measured beside it in the same programs.
find_package(PkgConfig REQUIRED)
pkg_check_modules(PIXMAN REQUIRED IMPORTED_TARGET pixman-1)
tessary_bench(gdi_blit OWN_MAIN DEPS platform_gdi PkgConfig::PIXMAN)
tessary_bench(gdi_region DEPS platform_gdi PkgConfig::PIXMAN)
tessary_bench(gdi_text DEPS platform_gdi)
