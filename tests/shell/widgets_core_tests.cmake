# Qt-free tests of the shell's widgets (also run in the sanitizer builds).
include(${PROJECT_SOURCE_DIR}/src/shell/widgets_core.cmake)
velmora_add_test(shell_widgets_core_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/gifsamples.cpp
    ${CMAKE_CURRENT_LIST_DIR}/test_gifwalker.cpp
    ${CMAKE_CURRENT_LIST_DIR}/test_textkeys.cpp
    ${CMAKE_CURRENT_LIST_DIR}/test_frameplayer.cpp
  LIBS velmora_shell_core)

