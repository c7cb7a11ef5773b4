
# Consider dependencies only in project.
set(CMAKE_DEPENDS_IN_PROJECT_ONLY OFF)

# The set of languages for which implicit dependencies are needed:
set(CMAKE_DEPENDS_LANGUAGES
  )

# The set of dependency files which are needed:
set(CMAKE_DEPENDS_DEPENDENCY_FILES
  "/work/wt11/src/OpenSaveDialog/FileListing.cpp" "src/CMakeFiles/gui.dir/OpenSaveDialog/FileListing.cpp.o" "gcc" "src/CMakeFiles/gui.dir/OpenSaveDialog/FileListing.cpp.o.d"
  "/work/wt11/src/OpenSaveDialog/TfOpenSaveDialog.cpp" "src/CMakeFiles/gui.dir/OpenSaveDialog/TfOpenSaveDialog.cpp.o" "gcc" "src/CMakeFiles/gui.dir/OpenSaveDialog/TfOpenSaveDialog.cpp.o.d"
  "/work/wt11/src/app/Settings.cpp" "src/CMakeFiles/gui.dir/app/Settings.cpp.o" "gcc" "src/CMakeFiles/gui.dir/app/Settings.cpp.o.d"
  "/work/wt11/src/app/TApplication.cpp" "src/CMakeFiles/gui.dir/app/TApplication.cpp.o" "gcc" "src/CMakeFiles/gui.dir/app/TApplication.cpp.o.d"
  "/work/wt11/src/app/TMapPage.cpp" "src/CMakeFiles/gui.dir/app/TMapPage.cpp.o" "gcc" "src/CMakeFiles/gui.dir/app/TMapPage.cpp.o.d"
  "/work/wt11/src/app/TfMain.cpp" "src/CMakeFiles/gui.dir/app/TfMain.cpp.o" "gcc" "src/CMakeFiles/gui.dir/app/TfMain.cpp.o.d"
  "/work/wt11/src/app/TfMainFiles.cpp" "src/CMakeFiles/gui.dir/app/TfMainFiles.cpp.o" "gcc" "src/CMakeFiles/gui.dir/app/TfMainFiles.cpp.o.d"
  "/work/wt11/b/src/gui_autogen/mocs_compilation.cpp" "src/CMakeFiles/gui.dir/gui_autogen/mocs_compilation.cpp.o" "gcc" "src/CMakeFiles/gui.dir/gui_autogen/mocs_compilation.cpp.o.d"
  "/work/wt11/src/tables/TextTable.cpp" "src/CMakeFiles/gui.dir/tables/TextTable.cpp.o" "gcc" "src/CMakeFiles/gui.dir/tables/TextTable.cpp.o.d"
  "/work/wt11/src/view/canvas/TMapCanvas.cpp" "src/CMakeFiles/gui.dir/view/canvas/TMapCanvas.cpp.o" "gcc" "src/CMakeFiles/gui.dir/view/canvas/TMapCanvas.cpp.o.d"
  )

# Targets to which this target links.
set(CMAKE_TARGET_LINKED_INFO_FILES
  "/work/wt11/b/src/CMakeFiles/core.dir/DependInfo.cmake"
  "/work/wt11/b/src/CMakeFiles/renderer.dir/DependInfo.cmake"
  )

# Fortran module output directory.
set(CMAKE_Fortran_TARGET_MODULE_DIR "")
