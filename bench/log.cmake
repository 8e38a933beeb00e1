tessary_bench(log_writer_bench DEPS gateway)
