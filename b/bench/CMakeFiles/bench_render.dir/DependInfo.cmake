
# Consider dependencies only in project.
set(CMAKE_DEPENDS_IN_PROJECT_ONLY OFF)

# The set of languages for which implicit dependencies are needed:
set(CMAKE_DEPENDS_LANGUAGES
  )

# The set of dependency files which are needed:
set(CMAKE_DEPENDS_DEPENDENCY_FILES
  "/work/wt11/bench/BenchSupport.cpp" "bench/CMakeFiles/bench_render.dir/BenchSupport.cpp.o" "gcc" "bench/CMakeFiles/bench_render.dir/BenchSupport.cpp.o.d"
  "/work/wt11/bench/RawJpeg.cpp" "bench/CMakeFiles/bench_render.dir/RawJpeg.cpp.o" "gcc" "bench/CMakeFiles/bench_render.dir/RawJpeg.cpp.o.d"
  "/work/wt11/bench/bench_render.cpp" "bench/CMakeFiles/bench_render.dir/bench_render.cpp.o" "gcc" "bench/CMakeFiles/bench_render.dir/bench_render.cpp.o.d"
  )

# Targets to which this target links.
set(CMAKE_TARGET_LINKED_INFO_FILES
  "/work/wt11/b/src/CMakeFiles/renderer.dir/DependInfo.cmake"
  "/work/wt11/b/src/CMakeFiles/core.dir/DependInfo.cmake"
  )

# Fortran module output directory.
set(CMAKE_Fortran_TARGET_MODULE_DIR "")
