# The main window's skinned frame beside the classic one: the frame cache rebuilt, a non-client
# paint, a live-resize step and an activation change.
tessary_bench(form_provider_bench OWN_MAIN DEPS lists skin_windows platform_display skin_resources)
