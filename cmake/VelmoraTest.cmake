# velmora_add_test(<name> SOURCES <files...> LIBS <targets...> [GUI])
# One GoogleTest binary; every TEST becomes its own ctest entry.
# GUI tests run under Qt's offscreen platform.
function(velmora_add_test name)
  cmake_parse_arguments(VT "GUI" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${VT_SOURCES})
  target_link_libraries(${name} PRIVATE ${VT_LIBS} GTest::gtest GTest::gmock GTest::gtest_main Threads::Threads)
  if(NOT VT_TIMEOUT)
    set(VT_TIMEOUT 120)
  endif()
  set(env "QT_QPA_PLATFORM=offscreen;VELMORA_SOURCE_DIR=${PROJECT_SOURCE_DIR};VELMORA_BINARY_DIR=${PROJECT_BINARY_DIR}")
  gtest_discover_tests(${name}
    DISCOVERY_TIMEOUT 60
    PROPERTIES TIMEOUT ${VT_TIMEOUT} ENVIRONMENT "${env}")
endfunction()

# Adds a subdirectory only once its owner has written it, so the tree
# configures while parts are still being built.
function(velmora_optional_subdirectory dir)
  if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/CMakeLists.txt)
    add_subdirectory(${dir})
  endif()
endfunction()
