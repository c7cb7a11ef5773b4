
# Consider dependencies only in project.
set(CMAKE_DEPENDS_IN_PROJECT_ONLY OFF)

# The set of languages for which implicit dependencies are needed:
set(CMAKE_DEPENDS_LANGUAGES
  )

# The set of dependency files which are needed:
set(CMAKE_DEPENDS_DEPENDENCY_FILES
  "/work/wt11/tests/TestSupport.cpp" "tests/CMakeFiles/core_tests.dir/TestSupport.cpp.o" "gcc" "tests/CMakeFiles/core_tests.dir/TestSupport.cpp.o.d"
  "/work/wt11/tests/cli_creation_test.cpp" "tests/CMakeFiles/core_tests.dir/cli_creation_test.cpp.o" "gcc" "tests/CMakeFiles/core_tests.dir/cli_creation_test.cpp.o.d"
  "/work/wt11/tests/cli_info_test.cpp" "tests/CMakeFiles/core_tests.dir/cli_info_test.cpp.o" "gcc" "tests/CMakeFiles/core_tests.dir/cli_info_test.cpp.o.d"
  "/work/wt11/tests/cli_write_test.cpp" "tests/CMakeFiles/core_tests.dir/cli_write_test.cpp.o" "gcc" "tests/CMakeFiles/core_tests.dir/cli_write_test.cpp.o.d"
  "/work/wt11/tests/export_test.cpp" "tests/CMakeFiles/core_tests.dir/export_test.cpp.o" "gcc" "tests/CMakeFiles/core_tests.dir/export_test.cpp.o.d"
  "/work/wt11/tests/gpx_test.cpp" "tests/CMakeFiles/core_tests.dir/gpx_test.cpp.o" "gcc" "tests/CMakeFiles/core_tests.dir/gpx_test.cpp.o.d"
  "/work/wt11/tests/jnx_format_test.cpp" "tests/CMakeFiles/core_tests.dir/jnx_format_test.cpp.o" "gcc" "tests/CMakeFiles/core_tests.dir/jnx_format_test.cpp.o.d"
  "/work/wt11/tests/jnx_reader_test.cpp" "tests/CMakeFiles/core_tests.dir/jnx_reader_test.cpp.o" "gcc" "tests/CMakeFiles/core_tests.dir/jnx_reader_test.cpp.o.d"
  "/work/wt11/tests/jnx_update_test.cpp" "tests/CMakeFiles/core_tests.dir/jnx_update_test.cpp.o" "gcc" "tests/CMakeFiles/core_tests.dir/jnx_update_test.cpp.o.d"
  "/work/wt11/tests/jnx_writer_test.cpp" "tests/CMakeFiles/core_tests.dir/jnx_writer_test.cpp.o" "gcc" "tests/CMakeFiles/core_tests.dir/jnx_writer_test.cpp.o.d"
  "/work/wt11/tests/jpeg_image_test.cpp" "tests/CMakeFiles/core_tests.dir/jpeg_image_test.cpp.o" "gcc" "tests/CMakeFiles/core_tests.dir/jpeg_image_test.cpp.o.d"
  "/work/wt11/tests/layering_test.cpp" "tests/CMakeFiles/core_tests.dir/layering_test.cpp.o" "gcc" "tests/CMakeFiles/core_tests.dir/layering_test.cpp.o.d"
  "/work/wt11/tests/map_creation_test.cpp" "tests/CMakeFiles/core_tests.dir/map_creation_test.cpp.o" "gcc" "tests/CMakeFiles/core_tests.dir/map_creation_test.cpp.o.d"
  "/work/wt11/tests/map_texts_test.cpp" "tests/CMakeFiles/core_tests.dir/map_texts_test.cpp.o" "gcc" "tests/CMakeFiles/core_tests.dir/map_texts_test.cpp.o.d"
  "/work/wt11/tests/picture_reader_test.cpp" "tests/CMakeFiles/core_tests.dir/picture_reader_test.cpp.o" "gcc" "tests/CMakeFiles/core_tests.dir/picture_reader_test.cpp.o.d"
  "/work/wt11/tests/safe_file_test.cpp" "tests/CMakeFiles/core_tests.dir/safe_file_test.cpp.o" "gcc" "tests/CMakeFiles/core_tests.dir/safe_file_test.cpp.o.d"
  "/work/wt11/tests/tar_test.cpp" "tests/CMakeFiles/core_tests.dir/tar_test.cpp.o" "gcc" "tests/CMakeFiles/core_tests.dir/tar_test.cpp.o.d"
  "/work/wt11/tests/tile_extraction_test.cpp" "tests/CMakeFiles/core_tests.dir/tile_extraction_test.cpp.o" "gcc" "tests/CMakeFiles/core_tests.dir/tile_extraction_test.cpp.o.d"
  "/work/wt11/tests/view_geometry_test.cpp" "tests/CMakeFiles/core_tests.dir/view_geometry_test.cpp.o" "gcc" "tests/CMakeFiles/core_tests.dir/view_geometry_test.cpp.o.d"
  )

# Targets to which this target links.
set(CMAKE_TARGET_LINKED_INFO_FILES
  "/work/wt11/b/src/CMakeFiles/core.dir/DependInfo.cmake"
  )

# Fortran module output directory.
set(CMAKE_Fortran_TARGET_MODULE_DIR "")
