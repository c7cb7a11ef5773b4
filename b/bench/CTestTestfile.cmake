# CMake generated Testfile for 
# Source directory: /work/wt11/bench
# Build directory: /work/wt11/b/bench
# 
# This file includes the relevant testing commands required for 
# testing this directory and lists subdirectories to be tested as well.
