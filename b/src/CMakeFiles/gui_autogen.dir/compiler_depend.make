# Empty custom commands generated dependencies file for gui_autogen.
# This may be replaced when dependencies are built.
