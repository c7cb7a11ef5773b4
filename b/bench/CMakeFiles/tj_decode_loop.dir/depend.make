# Empty dependencies file for tj_decode_loop.
# This may be replaced when dependencies are built.
