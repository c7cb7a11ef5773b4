file(REMOVE_RECURSE
  "CMakeFiles/bench_writers.dir/BenchSupport.cpp.o"
  "CMakeFiles/bench_writers.dir/BenchSupport.cpp.o.d"
  "CMakeFiles/bench_writers.dir/RawJpeg.cpp.o"
  "CMakeFiles/bench_writers.dir/RawJpeg.cpp.o.d"
  "CMakeFiles/bench_writers.dir/bench_writers.cpp.o"
  "CMakeFiles/bench_writers.dir/bench_writers.cpp.o.d"
  "bench_writers"
  "bench_writers.pdb"
)

# Per-language clean rules from dependency scanning.
foreach(lang CXX)
  include(CMakeFiles/bench_writers.dir/cmake_clean_${lang}.cmake OPTIONAL)
endforeach()
