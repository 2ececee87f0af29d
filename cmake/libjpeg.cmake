# The JPEG codec as the target `libjpeg`, for either build: cross-compiled from Debian's
# source package for Windows, Debian's libjpeg62-turbo-dev natively.
include_guard(GLOBAL)
add_library(libjpeg INTERFACE)
if(WIN32)
  include(${CMAKE_CURRENT_LIST_DIR}/libjpeg-win32.cmake)
  target_link_libraries(libjpeg INTERFACE jpeg_static)
else()
  find_package(JPEG REQUIRED)
  target_link_libraries(libjpeg INTERFACE JPEG::JPEG)
endif()
