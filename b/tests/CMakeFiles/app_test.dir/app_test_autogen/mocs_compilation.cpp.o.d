tests/CMakeFiles/app_test.dir/app_test_autogen/mocs_compilation.cpp.o: \
 /work/wt11/b/tests/app_test_autogen/mocs_compilation.cpp \
 /usr/include/stdc-predef.h
