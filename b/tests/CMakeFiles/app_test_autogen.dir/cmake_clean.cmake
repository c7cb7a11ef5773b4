file(REMOVE_RECURSE
  "CMakeFiles/app_test_autogen"
  "app_test_autogen/mocs_compilation.cpp"
)

# Per-language clean rules from dependency scanning.
foreach(lang )
  include(CMakeFiles/app_test_autogen.dir/cmake_clean_${lang}.cmake OPTIONAL)
endforeach()
