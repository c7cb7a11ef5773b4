# Empty dependencies file for gui.
# This may be replaced when dependencies are built.
