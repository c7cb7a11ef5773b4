
# Consider dependencies only in project.
set(CMAKE_DEPENDS_IN_PROJECT_ONLY OFF)

# The set of languages for which implicit dependencies are needed:
set(CMAKE_DEPENDS_LANGUAGES
  )

# The set of dependency files which are needed:
set(CMAKE_DEPENDS_DEPENDENCY_FILES
  "/work/wt11/tests/TestSupport.cpp" "tests/CMakeFiles/map_test.dir/TestSupport.cpp.o" "gcc" "tests/CMakeFiles/map_test.dir/TestSupport.cpp.o.d"
  "/work/wt11/tests/gui/map_test.cpp" "tests/CMakeFiles/map_test.dir/gui/map_test.cpp.o" "gcc" "tests/CMakeFiles/map_test.dir/gui/map_test.cpp.o.d"
  "/work/wt11/b/tests/map_test_autogen/mocs_compilation.cpp" "tests/CMakeFiles/map_test.dir/map_test_autogen/mocs_compilation.cpp.o" "gcc" "tests/CMakeFiles/map_test.dir/map_test_autogen/mocs_compilation.cpp.o.d"
  )

# Targets to which this target links.
set(CMAKE_TARGET_LINKED_INFO_FILES
  "/work/wt11/b/src/CMakeFiles/gui.dir/DependInfo.cmake"
  "/work/wt11/b/src/CMakeFiles/renderer.dir/DependInfo.cmake"
  "/work/wt11/b/src/CMakeFiles/core.dir/DependInfo.cmake"
  )

# Fortran module output directory.
set(CMAKE_Fortran_TARGET_MODULE_DIR "")
