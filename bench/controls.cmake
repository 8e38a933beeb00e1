# The native controls: typing into a large memo.
tessary_bench(edit_bench DEPS platform_controls platform_user platform_gdi)
