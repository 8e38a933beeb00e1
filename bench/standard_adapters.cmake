# The open dialog's children painted by their skin adapters beside their own painting, and the
# control walk over a form of 500 listed controls.
tessary_bench(standard_adapters_bench OWN_MAIN DEPS skin_windows platform_controls platform_display skin_resources)
