# Empty dependencies file for bench_render.
# This may be replaced when dependencies are built.
