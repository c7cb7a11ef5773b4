# Empty dependencies file for core_tests.
# This may be replaced when dependencies are built.
