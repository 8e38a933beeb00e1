# The database layer under the program's heaviest loads: journal inserts, report matching in a
# big journal, and saving a big list in one transaction.
tessary_bench(db_bench DEPS gateway db)
