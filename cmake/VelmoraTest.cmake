# Test code needs no full optimisation and only line tables (enough for a
# backtrace); that nearly halves what a test source costs to compile. Debug
# builds (the sanitizer pass) keep their own flags.
function(velmora_test_compile_options target)
  target_compile_options(${target} PRIVATE $<$<NOT:$<CONFIG:Debug>>:-O1 -g1>)
endfunction()

# velmora_add_test(<name> SOURCES <files...> LIBS <targets...> [GUI])
# One GoogleTest binary; every TEST becomes its own ctest entry.
# GUI tests get a main that creates the QApplication on Qt's offscreen platform.
function(velmora_add_test name)
  cmake_parse_arguments(VT "GUI" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  if(VT_GUI)
    add_executable(${name} ${VT_SOURCES} ${PROJECT_SOURCE_DIR}/tests/support/gui_test_main.cpp)
    target_link_libraries(${name} PRIVATE ${VT_LIBS} Qt6::Widgets GTest::gtest GTest::gmock Threads::Threads)
    velmora_qt_pch(${name})
  else()
    add_executable(${name} ${VT_SOURCES})
    target_link_libraries(${name} PRIVATE ${VT_LIBS} GTest::gtest GTest::gmock GTest::gtest_main Threads::Threads)
  endif()
  velmora_test_compile_options(${name})
  if(NOT VT_TIMEOUT)
    set(VT_TIMEOUT 120)
  endif()
  # Test helpers are included from the repository root ("tests/support/...").
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  # Where tests find the repository's data and the build's programs.
  target_compile_definitions(${name} PRIVATE
    VELMORA_SOURCE_DIR="${PROJECT_SOURCE_DIR}" VELMORA_BINARY_DIR="${PROJECT_BINARY_DIR}")
  set(env "QT_QPA_PLATFORM=offscreen")
  gtest_discover_tests(${name}
    DISCOVERY_TIMEOUT 60
    NO_PRETTY_VALUES
    PROPERTIES TIMEOUT ${VT_TIMEOUT} ENVIRONMENT "${env}"
    # The programs under test keep their drive journal in the build, not the user's.
    ENVIRONMENT_MODIFICATION "VELMORA_JOURNAL=set:${PROJECT_BINARY_DIR}/tests/journal.sqlite")
endfunction()
