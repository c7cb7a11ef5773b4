tests/CMakeFiles/dialog_test.dir/dialog_test_autogen/mocs_compilation.cpp.o: \
 /work/wt11/b/tests/dialog_test_autogen/mocs_compilation.cpp \
 /usr/include/stdc-predef.h
