tessary_bench(gateway_bench DEPS gateway)
