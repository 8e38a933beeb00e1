# Mask painting: the internal skin's border masks painted into a full-screen bitmap.
tessary_bench(mask_paint_bench DEPS skin_core skin_resources)
