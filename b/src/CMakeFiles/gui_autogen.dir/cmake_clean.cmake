file(REMOVE_RECURSE
  "CMakeFiles/gui_autogen"
  "gui_autogen/mocs_compilation.cpp"
)

# Per-language clean rules from dependency scanning.
foreach(lang )
  include(CMakeFiles/gui_autogen.dir/cmake_clean_${lang}.cmake OPTIONAL)
endforeach()
