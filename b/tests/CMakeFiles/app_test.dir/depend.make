# Empty dependencies file for app_test.
# This may be replaced when dependencies are built.
