file(REMOVE_RECURSE
  "CMakeFiles/make_sample.dir/make_sample.cpp.o"
  "CMakeFiles/make_sample.dir/make_sample.cpp.o.d"
  "make_sample"
  "make_sample.pdb"
)

# Per-language clean rules from dependency scanning.
foreach(lang CXX)
  include(CMakeFiles/make_sample.dir/cmake_clean_${lang}.cmake OPTIONAL)
endforeach()
