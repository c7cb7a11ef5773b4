file(REMOVE_RECURSE
  "CMakeFiles/renderer.dir/tables/MapTables.cpp.o"
  "CMakeFiles/renderer.dir/tables/MapTables.cpp.o.d"
  "CMakeFiles/renderer.dir/view/render/MapRenderer.cpp.o"
  "CMakeFiles/renderer.dir/view/render/MapRenderer.cpp.o.d"
  "librenderer.a"
  "librenderer.pdb"
)

# Per-language clean rules from dependency scanning.
foreach(lang CXX)
  include(CMakeFiles/renderer.dir/cmake_clean_${lang}.cmake OPTIONAL)
endforeach()
