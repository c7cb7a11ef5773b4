file(REMOVE_RECURSE
  "CMakeFiles/map_test_autogen.dir/AutogenUsed.txt"
  "CMakeFiles/map_test_autogen.dir/ParseCache.txt"
  "map_test_autogen"
  "CMakeFiles/map_test.dir/TestSupport.cpp.o"
  "CMakeFiles/map_test.dir/TestSupport.cpp.o.d"
  "CMakeFiles/map_test.dir/gui/map_test.cpp.o"
  "CMakeFiles/map_test.dir/gui/map_test.cpp.o.d"
  "CMakeFiles/map_test.dir/map_test_autogen/mocs_compilation.cpp.o"
  "CMakeFiles/map_test.dir/map_test_autogen/mocs_compilation.cpp.o.d"
  "map_test"
  "map_test.pdb"
)

# Per-language clean rules from dependency scanning.
foreach(lang CXX)
  include(CMakeFiles/map_test.dir/cmake_clean_${lang}.cmake OPTIONAL)
endforeach()
