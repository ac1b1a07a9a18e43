# Qt Charts for the trend window. Debian's qt6-charts-dev declares no
# dependency on libqt6opengl6-dev, whose CMake files its package check
# demands; where they are missing, the library and headers are used directly
# (the charts we draw need no OpenGL).
find_package(Qt6 QUIET COMPONENTS Charts)
if(NOT TARGET Qt6::Charts)
  find_library(VELMORA_QT6_CHARTS_LIBRARY Qt6Charts REQUIRED)
  find_path(VELMORA_QT6_CHARTS_INCLUDE QtCharts/qchartview.h
            HINTS ${Qt6Core_INCLUDE_DIRS} PATH_SUFFIXES .. REQUIRED)
  add_library(Qt6::Charts UNKNOWN IMPORTED GLOBAL)
  set_target_properties(Qt6::Charts PROPERTIES
    IMPORTED_LOCATION ${VELMORA_QT6_CHARTS_LIBRARY}
    INTERFACE_INCLUDE_DIRECTORIES "${VELMORA_QT6_CHARTS_INCLUDE};${VELMORA_QT6_CHARTS_INCLUDE}/QtCharts"
    INTERFACE_LINK_LIBRARIES "Qt6::Widgets")
  message(STATUS "Qt Charts used without its CMake package: ${VELMORA_QT6_CHARTS_LIBRARY}")
endif()
