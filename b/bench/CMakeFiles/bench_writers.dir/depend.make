# Empty dependencies file for bench_writers.
# This may be replaced when dependencies are built.
