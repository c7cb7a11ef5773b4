file(REMOVE_RECURSE
  "CMakeFiles/bench_folder_open.dir/BenchSupport.cpp.o"
  "CMakeFiles/bench_folder_open.dir/BenchSupport.cpp.o.d"
  "CMakeFiles/bench_folder_open.dir/bench_folder_open.cpp.o"
  "CMakeFiles/bench_folder_open.dir/bench_folder_open.cpp.o.d"
  "bench_folder_open"
  "bench_folder_open.pdb"
)

# Per-language clean rules from dependency scanning.
foreach(lang CXX)
  include(CMakeFiles/bench_folder_open.dir/cmake_clean_${lang}.cmake OPTIONAL)
endforeach()
