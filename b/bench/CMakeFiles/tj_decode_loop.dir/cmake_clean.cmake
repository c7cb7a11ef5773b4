file(REMOVE_RECURSE
  "CMakeFiles/tj_decode_loop.dir/BenchSupport.cpp.o"
  "CMakeFiles/tj_decode_loop.dir/BenchSupport.cpp.o.d"
  "CMakeFiles/tj_decode_loop.dir/tj_decode_loop.cpp.o"
  "CMakeFiles/tj_decode_loop.dir/tj_decode_loop.cpp.o.d"
  "tj_decode_loop"
  "tj_decode_loop.pdb"
)

# Per-language clean rules from dependency scanning.
foreach(lang CXX)
  include(CMakeFiles/tj_decode_loop.dir/cmake_clean_${lang}.cmake OPTIONAL)
endforeach()
