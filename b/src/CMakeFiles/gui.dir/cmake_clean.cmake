file(REMOVE_RECURSE
  "CMakeFiles/gui_autogen.dir/AutogenUsed.txt"
  "CMakeFiles/gui_autogen.dir/ParseCache.txt"
  "gui_autogen"
  "CMakeFiles/gui.dir/OpenSaveDialog/FileListing.cpp.o"
  "CMakeFiles/gui.dir/OpenSaveDialog/FileListing.cpp.o.d"
  "CMakeFiles/gui.dir/OpenSaveDialog/TfOpenSaveDialog.cpp.o"
  "CMakeFiles/gui.dir/OpenSaveDialog/TfOpenSaveDialog.cpp.o.d"
  "CMakeFiles/gui.dir/app/Settings.cpp.o"
  "CMakeFiles/gui.dir/app/Settings.cpp.o.d"
  "CMakeFiles/gui.dir/app/TApplication.cpp.o"
  "CMakeFiles/gui.dir/app/TApplication.cpp.o.d"
  "CMakeFiles/gui.dir/app/TMapPage.cpp.o"
  "CMakeFiles/gui.dir/app/TMapPage.cpp.o.d"
  "CMakeFiles/gui.dir/app/TfMain.cpp.o"
  "CMakeFiles/gui.dir/app/TfMain.cpp.o.d"
  "CMakeFiles/gui.dir/app/TfMainFiles.cpp.o"
  "CMakeFiles/gui.dir/app/TfMainFiles.cpp.o.d"
  "CMakeFiles/gui.dir/gui_autogen/mocs_compilation.cpp.o"
  "CMakeFiles/gui.dir/gui_autogen/mocs_compilation.cpp.o.d"
  "CMakeFiles/gui.dir/tables/TextTable.cpp.o"
  "CMakeFiles/gui.dir/tables/TextTable.cpp.o.d"
  "CMakeFiles/gui.dir/view/canvas/TMapCanvas.cpp.o"
  "CMakeFiles/gui.dir/view/canvas/TMapCanvas.cpp.o.d"
  "libgui.a"
  "libgui.pdb"
)

# Per-language clean rules from dependency scanning.
foreach(lang CXX)
  include(CMakeFiles/gui.dir/cmake_clean_${lang}.cmake OPTIONAL)
endforeach()
