tests/CMakeFiles/map_test.dir/map_test_autogen/mocs_compilation.cpp.o: \
 /work/wt11/b/tests/map_test_autogen/mocs_compilation.cpp \
 /usr/include/stdc-predef.h
