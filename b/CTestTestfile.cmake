# CMake generated Testfile for 
# Source directory: /work/wt11
# Build directory: /work/wt11/b
# 
# This file includes the relevant testing commands required for 
# testing this directory and lists subdirectories to be tested as well.
subdirs("src")
subdirs("tools")
subdirs("tests")
subdirs("bench")
