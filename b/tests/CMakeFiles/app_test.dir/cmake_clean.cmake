file(REMOVE_RECURSE
  "CMakeFiles/app_test_autogen.dir/AutogenUsed.txt"
  "CMakeFiles/app_test_autogen.dir/ParseCache.txt"
  "app_test_autogen"
  "CMakeFiles/app_test.dir/TestSupport.cpp.o"
  "CMakeFiles/app_test.dir/TestSupport.cpp.o.d"
  "CMakeFiles/app_test.dir/app_test_autogen/mocs_compilation.cpp.o"
  "CMakeFiles/app_test.dir/app_test_autogen/mocs_compilation.cpp.o.d"
  "CMakeFiles/app_test.dir/gui/app_test.cpp.o"
  "CMakeFiles/app_test.dir/gui/app_test.cpp.o.d"
  "app_test"
  "app_test.pdb"
)

# Per-language clean rules from dependency scanning.
foreach(lang CXX)
  include(CMakeFiles/app_test.dir/cmake_clean_${lang}.cmake OPTIONAL)
endforeach()
