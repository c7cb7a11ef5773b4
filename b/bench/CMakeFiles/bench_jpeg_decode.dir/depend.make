# Empty dependencies file for bench_jpeg_decode.
# This may be replaced when dependencies are built.
