# Tests of the shell's texts, controls and popups (offscreen Qt), and the
# Qt-free ones of the GIF walker, key table and frame timing.
include(${CMAKE_CURRENT_LIST_DIR}/widgets_core_tests.cmake)
velmora_add_test(shell_widgets_tests GUI
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/gifsamples.cpp
    ${CMAKE_CURRENT_LIST_DIR}/widgettestsupport.cpp
    ${CMAKE_CURRENT_LIST_DIR}/test_textcatalog.cpp
    ${CMAKE_CURRENT_LIST_DIR}/test_languagefileset.cpp
    ${CMAKE_CURRENT_LIST_DIR}/test_roundbutton.cpp
    ${CMAKE_CURRENT_LIST_DIR}/test_animationview.cpp
    ${CMAKE_CURRENT_LIST_DIR}/test_popups.cpp
    ${CMAKE_CURRENT_LIST_DIR}/test_helpnoteviewer.cpp
    ${CMAKE_CURRENT_LIST_DIR}/test_actuatortestdialog.cpp
  LIBS velmora_shell Qt6::Test)
