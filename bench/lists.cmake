# The main window holding a big list: importing it, saving it, loading it back, comparing it
# with what is stored, and the grid's paint and moves while it holds the list.
tessary_bench(lists_bench DEPS lists platform_display)
