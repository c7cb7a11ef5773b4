# Empty dependencies file for core.
# This may be replaced when dependencies are built.
