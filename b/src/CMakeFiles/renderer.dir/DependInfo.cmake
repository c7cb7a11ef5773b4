
# Consider dependencies only in project.
set(CMAKE_DEPENDS_IN_PROJECT_ONLY OFF)

# The set of languages for which implicit dependencies are needed:
set(CMAKE_DEPENDS_LANGUAGES
  )

# The set of dependency files which are needed:
set(CMAKE_DEPENDS_DEPENDENCY_FILES
  "/work/wt11/src/tables/MapTables.cpp" "src/CMakeFiles/renderer.dir/tables/MapTables.cpp.o" "gcc" "src/CMakeFiles/renderer.dir/tables/MapTables.cpp.o.d"
  "/work/wt11/src/view/render/MapRenderer.cpp" "src/CMakeFiles/renderer.dir/view/render/MapRenderer.cpp.o" "gcc" "src/CMakeFiles/renderer.dir/view/render/MapRenderer.cpp.o.d"
  )

# Targets to which this target links.
set(CMAKE_TARGET_LINKED_INFO_FILES
  "/work/wt11/b/src/CMakeFiles/core.dir/DependInfo.cmake"
  )

# Fortran module output directory.
set(CMAKE_Fortran_TARGET_MODULE_DIR "")
