# Empty custom commands generated dependencies file for app_test_autogen.
# This may be replaced when dependencies are built.
