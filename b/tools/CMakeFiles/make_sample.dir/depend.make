# Empty dependencies file for make_sample.
# This may be replaced when dependencies are built.
