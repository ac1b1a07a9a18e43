# The Qt-free part of the shell's widgets: key table, GIF walker, frame
# timing, fault table and language paths. Tests and fuzz targets link it
# without Qt, so a build without the GUI can include this file on its own.
if(NOT TARGET velmora_shell_core)
  add_library(velmora_shell_core STATIC
    ${CMAKE_CURRENT_LIST_DIR}/textkeys.cpp
    ${CMAKE_CURRENT_LIST_DIR}/gifwalker.cpp
    ${CMAKE_CURRENT_LIST_DIR}/frameplayer.cpp
    ${CMAKE_CURRENT_LIST_DIR}/faulttable.cpp
    ${CMAKE_CURRENT_LIST_DIR}/languagepaths.cpp
  )
  target_include_directories(velmora_shell_core PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(velmora_shell_core PUBLIC Threads::Threads)
endif()
