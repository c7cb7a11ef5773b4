# Empty dependencies file for map_test.
# This may be replaced when dependencies are built.
