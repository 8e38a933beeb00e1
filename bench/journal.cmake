# The send journal's window: the first screen after a filter on a million journal rows.
tessary_bench(journal_bench DEPS lists)
