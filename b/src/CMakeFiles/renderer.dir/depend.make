# Empty dependencies file for renderer.
# This may be replaced when dependencies are built.
