file(REMOVE_RECURSE
  "CMakeFiles/bench_jpeg_decode.dir/BenchSupport.cpp.o"
  "CMakeFiles/bench_jpeg_decode.dir/BenchSupport.cpp.o.d"
  "CMakeFiles/bench_jpeg_decode.dir/RawJpeg.cpp.o"
  "CMakeFiles/bench_jpeg_decode.dir/RawJpeg.cpp.o.d"
  "CMakeFiles/bench_jpeg_decode.dir/bench_jpeg_decode.cpp.o"
  "CMakeFiles/bench_jpeg_decode.dir/bench_jpeg_decode.cpp.o.d"
  "bench_jpeg_decode"
  "bench_jpeg_decode.pdb"
)

# Per-language clean rules from dependency scanning.
foreach(lang CXX)
  include(CMakeFiles/bench_jpeg_decode.dir/cmake_clean_${lang}.cmake OPTIONAL)
endforeach()
