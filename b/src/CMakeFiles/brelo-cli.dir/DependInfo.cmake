
# Consider dependencies only in project.
set(CMAKE_DEPENDS_IN_PROJECT_ONLY OFF)

# The set of languages for which implicit dependencies are needed:
set(CMAKE_DEPENDS_LANGUAGES
  )

# The set of dependency files which are needed:
set(CMAKE_DEPENDS_DEPENDENCY_FILES
  "/work/wt11/src/cli/CliSupport.cpp" "src/CMakeFiles/brelo-cli.dir/cli/CliSupport.cpp.o" "gcc" "src/CMakeFiles/brelo-cli.dir/cli/CliSupport.cpp.o.d"
  "/work/wt11/src/cli/CreationCommands.cpp" "src/CMakeFiles/brelo-cli.dir/cli/CreationCommands.cpp.o" "gcc" "src/CMakeFiles/brelo-cli.dir/cli/CreationCommands.cpp.o.d"
  "/work/wt11/src/cli/EditCommands.cpp" "src/CMakeFiles/brelo-cli.dir/cli/EditCommands.cpp.o" "gcc" "src/CMakeFiles/brelo-cli.dir/cli/EditCommands.cpp.o.d"
  "/work/wt11/src/cli/GpxCommands.cpp" "src/CMakeFiles/brelo-cli.dir/cli/GpxCommands.cpp.o" "gcc" "src/CMakeFiles/brelo-cli.dir/cli/GpxCommands.cpp.o.d"
  "/work/wt11/src/cli/InfoCommands.cpp" "src/CMakeFiles/brelo-cli.dir/cli/InfoCommands.cpp.o" "gcc" "src/CMakeFiles/brelo-cli.dir/cli/InfoCommands.cpp.o.d"
  "/work/wt11/src/cli/RenderCommands.cpp" "src/CMakeFiles/brelo-cli.dir/cli/RenderCommands.cpp.o" "gcc" "src/CMakeFiles/brelo-cli.dir/cli/RenderCommands.cpp.o.d"
  "/work/wt11/src/cli/TarCommands.cpp" "src/CMakeFiles/brelo-cli.dir/cli/TarCommands.cpp.o" "gcc" "src/CMakeFiles/brelo-cli.dir/cli/TarCommands.cpp.o.d"
  "/work/wt11/src/cli/WriteCommands.cpp" "src/CMakeFiles/brelo-cli.dir/cli/WriteCommands.cpp.o" "gcc" "src/CMakeFiles/brelo-cli.dir/cli/WriteCommands.cpp.o.d"
  "/work/wt11/src/cli/main.cpp" "src/CMakeFiles/brelo-cli.dir/cli/main.cpp.o" "gcc" "src/CMakeFiles/brelo-cli.dir/cli/main.cpp.o.d"
  )

# Targets to which this target links.
set(CMAKE_TARGET_LINKED_INFO_FILES
  "/work/wt11/b/src/CMakeFiles/core.dir/DependInfo.cmake"
  "/work/wt11/b/src/CMakeFiles/renderer.dir/DependInfo.cmake"
  )

# Fortran module output directory.
set(CMAKE_Fortran_TARGET_MODULE_DIR "")
