# Empty dependencies file for bench_jnx_read.
# This may be replaced when dependencies are built.
