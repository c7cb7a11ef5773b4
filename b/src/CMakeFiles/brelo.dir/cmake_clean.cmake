file(REMOVE_RECURSE
  "CMakeFiles/brelo.dir/app/main.cpp.o"
  "CMakeFiles/brelo.dir/app/main.cpp.o.d"
  "brelo"
  "brelo.pdb"
)

# Per-language clean rules from dependency scanning.
foreach(lang CXX)
  include(CMakeFiles/brelo.dir/cmake_clean_${lang}.cmake OPTIONAL)
endforeach()
