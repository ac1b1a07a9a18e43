# Qt's widget headers are most of what a window source compiles. One
# precompiled header, built once with the shell, serves the pages, the main
# window, the program and the window tests (the compiler cache keeps working:
# its sloppiness includes pch_defines and time_macros).
option(VELMORA_PCH "Precompile the Qt headers of the window's targets and the JSON library of velmora-cli" ON)

set(VELMORA_QT_PCH_HEADERS
  <QCheckBox> <QComboBox> <QDialog> <QEvent> <QGridLayout> <QHBoxLayout>
  <QLabel> <QLineEdit> <QObject> <QPainter> <QPointer> <QPushButton> <QString>
  <QStringList> <QTabWidget> <QTimer> <QVBoxLayout> <QWidget>
  <array> <cstdint> <functional> <memory> <optional> <string> <vector>)

# velmora_qt_pch(<target>): velmora_shell makes the header for the libraries
# (position-independent code) and a small host program the one for the test
# programs (position-independent executables), which also get GoogleTest's.
function(velmora_qt_pch target)
  if(NOT VELMORA_PCH)
    return()
  endif()
  get_target_property(type ${target} TYPE)
  if(target STREQUAL "velmora_shell")
    target_precompile_headers(velmora_shell PRIVATE ${VELMORA_QT_PCH_HEADERS})
  elseif(type STREQUAL "EXECUTABLE")
    if(NOT TARGET velmora_qt_pch_host)
      file(WRITE ${PROJECT_BINARY_DIR}/velmora_qt_pch_host.cpp "int main() { return 0; }\n")
      add_executable(velmora_qt_pch_host ${PROJECT_BINARY_DIR}/velmora_qt_pch_host.cpp)
      target_link_libraries(velmora_qt_pch_host PRIVATE Qt6::Widgets GTest::gtest GTest::gmock)
      # Built with the test programs' flags, or they could not use it.
      velmora_test_compile_options(velmora_qt_pch_host)
      target_precompile_headers(velmora_qt_pch_host PRIVATE ${VELMORA_QT_PCH_HEADERS}
                                <gtest/gtest.h>)
    endif()
    target_precompile_headers(${target} REUSE_FROM velmora_qt_pch_host)
  else()
    target_precompile_headers(${target} REUSE_FROM velmora_shell)
  endif()
endfunction()
