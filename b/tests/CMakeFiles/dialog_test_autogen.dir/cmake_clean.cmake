file(REMOVE_RECURSE
  "CMakeFiles/dialog_test_autogen"
  "dialog_test_autogen/mocs_compilation.cpp"
)

# Per-language clean rules from dependency scanning.
foreach(lang )
  include(CMakeFiles/dialog_test_autogen.dir/cmake_clean_${lang}.cmake OPTIONAL)
endforeach()
