# The X11 presenter beside a bare put of the same pixels, on a virtual X server it starts.
find_package(X11 REQUIRED)
tessary_bench(display_bench OWN_MAIN DEPS platform_display platform_user test_support X11::X11)
