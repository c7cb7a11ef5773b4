file(REMOVE_RECURSE
  "CMakeFiles/brelo-cli.dir/cli/CliSupport.cpp.o"
  "CMakeFiles/brelo-cli.dir/cli/CliSupport.cpp.o.d"
  "CMakeFiles/brelo-cli.dir/cli/CreationCommands.cpp.o"
  "CMakeFiles/brelo-cli.dir/cli/CreationCommands.cpp.o.d"
  "CMakeFiles/brelo-cli.dir/cli/EditCommands.cpp.o"
  "CMakeFiles/brelo-cli.dir/cli/EditCommands.cpp.o.d"
  "CMakeFiles/brelo-cli.dir/cli/GpxCommands.cpp.o"
  "CMakeFiles/brelo-cli.dir/cli/GpxCommands.cpp.o.d"
  "CMakeFiles/brelo-cli.dir/cli/InfoCommands.cpp.o"
  "CMakeFiles/brelo-cli.dir/cli/InfoCommands.cpp.o.d"
  "CMakeFiles/brelo-cli.dir/cli/RenderCommands.cpp.o"
  "CMakeFiles/brelo-cli.dir/cli/RenderCommands.cpp.o.d"
  "CMakeFiles/brelo-cli.dir/cli/TarCommands.cpp.o"
  "CMakeFiles/brelo-cli.dir/cli/TarCommands.cpp.o.d"
  "CMakeFiles/brelo-cli.dir/cli/WriteCommands.cpp.o"
  "CMakeFiles/brelo-cli.dir/cli/WriteCommands.cpp.o.d"
  "CMakeFiles/brelo-cli.dir/cli/main.cpp.o"
  "CMakeFiles/brelo-cli.dir/cli/main.cpp.o.d"
  "brelo-cli"
  "brelo-cli.pdb"
)

# Per-language clean rules from dependency scanning.
foreach(lang CXX)
  include(CMakeFiles/brelo-cli.dir/cmake_clean_${lang}.cmake OPTIONAL)
endforeach()
