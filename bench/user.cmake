tessary_bench(user_bench DEPS platform_user platform_gdi)
