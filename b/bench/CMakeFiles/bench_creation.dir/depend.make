# Empty dependencies file for bench_creation.
# This may be replaced when dependencies are built.
