file(REMOVE_RECURSE
  "CMakeFiles/map_test_autogen"
  "map_test_autogen/mocs_compilation.cpp"
)

# Per-language clean rules from dependency scanning.
foreach(lang )
  include(CMakeFiles/map_test_autogen.dir/cmake_clean_${lang}.cmake OPTIONAL)
endforeach()
