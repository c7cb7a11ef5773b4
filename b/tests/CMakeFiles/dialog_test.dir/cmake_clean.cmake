file(REMOVE_RECURSE
  "CMakeFiles/dialog_test_autogen.dir/AutogenUsed.txt"
  "CMakeFiles/dialog_test_autogen.dir/ParseCache.txt"
  "dialog_test_autogen"
  "CMakeFiles/dialog_test.dir/TestSupport.cpp.o"
  "CMakeFiles/dialog_test.dir/TestSupport.cpp.o.d"
  "CMakeFiles/dialog_test.dir/dialog_test_autogen/mocs_compilation.cpp.o"
  "CMakeFiles/dialog_test.dir/dialog_test_autogen/mocs_compilation.cpp.o.d"
  "CMakeFiles/dialog_test.dir/gui/dialog_test.cpp.o"
  "CMakeFiles/dialog_test.dir/gui/dialog_test.cpp.o.d"
  "dialog_test"
  "dialog_test.pdb"
)

# Per-language clean rules from dependency scanning.
foreach(lang CXX)
  include(CMakeFiles/dialog_test.dir/cmake_clean_${lang}.cmake OPTIONAL)
endforeach()
