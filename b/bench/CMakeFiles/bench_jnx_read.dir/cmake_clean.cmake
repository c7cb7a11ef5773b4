file(REMOVE_RECURSE
  "CMakeFiles/bench_jnx_read.dir/BenchSupport.cpp.o"
  "CMakeFiles/bench_jnx_read.dir/BenchSupport.cpp.o.d"
  "CMakeFiles/bench_jnx_read.dir/RawJpeg.cpp.o"
  "CMakeFiles/bench_jnx_read.dir/RawJpeg.cpp.o.d"
  "CMakeFiles/bench_jnx_read.dir/bench_jnx_read.cpp.o"
  "CMakeFiles/bench_jnx_read.dir/bench_jnx_read.cpp.o.d"
  "bench_jnx_read"
  "bench_jnx_read.pdb"
)

# Per-language clean rules from dependency scanning.
foreach(lang CXX)
  include(CMakeFiles/bench_jnx_read.dir/cmake_clean_${lang}.cmake OPTIONAL)
endforeach()
