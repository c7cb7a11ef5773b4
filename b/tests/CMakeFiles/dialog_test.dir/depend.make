# Empty dependencies file for dialog_test.
# This may be replaced when dependencies are built.
