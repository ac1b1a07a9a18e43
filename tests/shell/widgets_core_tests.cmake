# Qt-free tests of the shell's widgets (also run in the sanitizer builds).
include(${PROJECT_SOURCE_DIR}/src/shell/widgets_core.cmake)
velmora_add_test(shell_widgets_core_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/gifsamples.cpp
    ${CMAKE_CURRENT_LIST_DIR}/test_gifwalker.cpp
    ${CMAKE_CURRENT_LIST_DIR}/test_textkeys.cpp
    ${CMAKE_CURRENT_LIST_DIR}/test_frameplayer.cpp
  LIBS velmora_shell_core)

# libFuzzer target of the GIF walker and the key table (needs clang):
# cmake -DVELMORA_FUZZ=ON -DCMAKE_CXX_COMPILER=clang++, then run fuzz_gifwalker.
option(VELMORA_FUZZ "Build the fuzz targets" OFF)
if(VELMORA_FUZZ AND NOT TARGET fuzz_gifwalker)
  add_executable(fuzz_gifwalker
    ${CMAKE_CURRENT_LIST_DIR}/fuzz_gifwalker.cpp
    ${PROJECT_SOURCE_DIR}/src/shell/gifwalker.cpp
    ${PROJECT_SOURCE_DIR}/src/shell/textkeys.cpp)
  target_include_directories(fuzz_gifwalker PRIVATE ${PROJECT_SOURCE_DIR}/src)
  target_compile_options(fuzz_gifwalker PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_options(fuzz_gifwalker PRIVATE -fsanitize=fuzzer,address,undefined)
endif()
