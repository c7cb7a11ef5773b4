# CMake generated Testfile for 
# Source directory: /work/wt11/tests
# Build directory: /work/wt11/b/tests
# 
# This file includes the relevant testing commands required for 
# testing this directory and lists subdirectories to be tested as well.
include("/work/wt11/b/tests/core_tests[1]_include.cmake")
add_test([=[make_peer_files]=] "bash" "/work/wt11/scripts/make-peer-files.sh" "/work/wt11/b/tests/peer-files" "/work/wt11/b/tools/make_sample")
set_tests_properties([=[make_peer_files]=] PROPERTIES  FIXTURES_SETUP "PeerFiles" _BACKTRACE_TRIPLES "/work/wt11/tests/CMakeLists.txt;11;add_test;/work/wt11/tests/CMakeLists.txt;0;")
add_test([=[gui.app_test]=] "/work/wt11/b/tests/app_test")
set_tests_properties([=[gui.app_test]=] PROPERTIES  ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LSAN_OPTIONS=suppressions=/work/wt11/tests/gui/lsan.supp" TIMEOUT "300" _BACKTRACE_TRIPLES "/work/wt11/tests/CMakeLists.txt;34;add_test;/work/wt11/tests/CMakeLists.txt;0;")
add_test([=[gui.dialog_test]=] "/work/wt11/b/tests/dialog_test")
set_tests_properties([=[gui.dialog_test]=] PROPERTIES  ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LSAN_OPTIONS=suppressions=/work/wt11/tests/gui/lsan.supp" TIMEOUT "300" _BACKTRACE_TRIPLES "/work/wt11/tests/CMakeLists.txt;34;add_test;/work/wt11/tests/CMakeLists.txt;0;")
add_test([=[gui.map_test]=] "/work/wt11/b/tests/map_test")
set_tests_properties([=[gui.map_test]=] PROPERTIES  ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LSAN_OPTIONS=suppressions=/work/wt11/tests/gui/lsan.supp" TIMEOUT "300" _BACKTRACE_TRIPLES "/work/wt11/tests/CMakeLists.txt;34;add_test;/work/wt11/tests/CMakeLists.txt;0;")
add_test([=[gui.real_window]=] "bash" "/work/wt11/tests/gui/real_window.sh" "/work/wt11/b/src/brelo" "/work/wt11/samples/tatry.jnx" "/work/wt11/b/tests/real-window")
set_tests_properties([=[gui.real_window]=] PROPERTIES  ENVIRONMENT "LSAN_OPTIONS=suppressions=/work/wt11/tests/gui/lsan.supp" SKIP_RETURN_CODE "77" TIMEOUT "120" _BACKTRACE_TRIPLES "/work/wt11/tests/CMakeLists.txt;39;add_test;/work/wt11/tests/CMakeLists.txt;0;")
