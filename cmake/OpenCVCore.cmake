# Debian's libopencv-core-dev ships the core module without a CMake package,
# so the headers and the library are found by hand as the target OpenCV::core.
find_path(OPENCV_CORE_INCLUDE_DIR opencv2/core.hpp PATH_SUFFIXES opencv4 REQUIRED)
find_library(OPENCV_CORE_LIBRARY opencv_core REQUIRED)
add_library(OpenCV::core UNKNOWN IMPORTED)
set_target_properties(OpenCV::core PROPERTIES
  IMPORTED_LOCATION "${OPENCV_CORE_LIBRARY}"
  INTERFACE_INCLUDE_DIRECTORIES "${OPENCV_CORE_INCLUDE_DIR}")
# Warnings inside OpenCV's headers are not ours to fix.
set_property(TARGET OpenCV::core PROPERTY INTERFACE_SYSTEM_INCLUDE_DIRECTORIES "${OPENCV_CORE_INCLUDE_DIR}")
