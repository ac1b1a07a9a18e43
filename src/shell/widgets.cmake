# Shared widgets, texts and popups of the shell (owned separately from the
# main window so both can grow without touching one list).
include(${CMAKE_CURRENT_LIST_DIR}/widgets_core.cmake)

set(VELMORA_SHELL_WIDGET_SOURCES
  textcatalog.cpp
  addedtexts.cpp
  wheelguard.cpp
  catalogtext.cpp
  languagefileset.cpp
  fontset.cpp
  roundbutton.cpp
  framecanvas.cpp
  animationview.cpp
  infopopup.cpp
  confirmpopup.cpp
  faultpopup.cpp
  faultlook.cpp
  faultindicator.cpp
  noticestrip.cpp
  helpnoteviewer.cpp
  testquestionpopup.cpp
  actuatortestdialog.cpp
)
# velmora_shell is defined right after this file is included.
cmake_language(DEFER CALL target_link_libraries velmora_shell PUBLIC velmora_shell_core)
