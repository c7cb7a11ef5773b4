# Empty dependencies file for brelo-cli.
# This may be replaced when dependencies are built.
