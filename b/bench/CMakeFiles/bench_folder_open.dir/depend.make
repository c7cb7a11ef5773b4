# Empty dependencies file for bench_folder_open.
# This may be replaced when dependencies are built.
