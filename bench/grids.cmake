# The grids of the class library: the data grid scrolling a million records, its memory beside
# the data set's, and a string grid growing a row at a time.
tessary_bench(grids_bench DEPS vcl_controls)
