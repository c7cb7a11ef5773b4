# Empty custom commands generated dependencies file for dialog_test_autogen.
# This may be replaced when dependencies are built.
