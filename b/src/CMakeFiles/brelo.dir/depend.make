# Empty dependencies file for brelo.
# This may be replaced when dependencies are built.
