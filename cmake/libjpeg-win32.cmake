# libjpeg-turbo for the Windows build: Debian's source package, unpacked and cross-compiled
# at build time as a static library without SIMD (no assembler needed), exposed as the
# imported target jpeg_static. The download stays in the build tree, so rebuilds and
# reconfigures neither fetch nor unpack again.
include_guard(GLOBAL)
include(ExternalProject)

set(LIBJPEG_DOWNLOAD_DIR ${CMAKE_BINARY_DIR}/downloads CACHE PATH
    "where the libjpeg-turbo source package is kept")
set(_libjpeg_root ${CMAKE_BINARY_DIR}/libjpeg-turbo)
set(_libjpeg_install ${_libjpeg_root}/install)
set(_libjpeg_library ${_libjpeg_install}/lib/libjpeg.a)

ExternalProject_Add(libjpeg_turbo
  PREFIX ${_libjpeg_root}
  SOURCE_DIR ${_libjpeg_root}/source
  BINARY_DIR ${_libjpeg_root}/build
  INSTALL_DIR ${_libjpeg_install}
  DOWNLOAD_COMMAND ${CMAKE_COMMAND} -DPACKAGE=libjpeg-turbo
                   -DDOWNLOAD_DIR=${LIBJPEG_DOWNLOAD_DIR} -DSOURCE_DIR=<SOURCE_DIR>
                   -P ${CMAKE_CURRENT_LIST_DIR}/fetch-debian-source.cmake
  UPDATE_COMMAND ""
  # Built for size, like the program: each function in its own section so that the link
  # drops what the decoder never calls, and no unwind tables (only longjmp crosses libjpeg,
  # never a C++ exception). No arithmetic coding: the splash picture is Huffman coded.
  # NO_GETENV: libjpeg would otherwise read the variable JPEGMEM to limit its memory, and the
  # program reads no environment.
  CMAKE_ARGS -DCMAKE_TOOLCHAIN_FILE=${CMAKE_TOOLCHAIN_FILE}
             -DCMAKE_BUILD_TYPE=MinSizeRel
             "-DCMAKE_C_FLAGS=-ffunction-sections -fdata-sections -fno-asynchronous-unwind-tables -DNO_GETENV"
             -DCMAKE_INSTALL_PREFIX=<INSTALL_DIR>
             -DENABLE_SHARED=OFF -DENABLE_STATIC=ON
             -DWITH_SIMD=OFF -DWITH_TURBOJPEG=OFF
             -DWITH_ARITH_DEC=OFF -DWITH_ARITH_ENC=OFF
  BUILD_COMMAND ${CMAKE_COMMAND} --build <BINARY_DIR> --target jpeg-static
  # Only the library and the four headers a user of jpeglib.h needs; a full install
  # would want the tools that were not built.
  INSTALL_COMMAND
    ${CMAKE_COMMAND} -E copy <BINARY_DIR>/libjpeg.a <INSTALL_DIR>/lib/libjpeg.a
    COMMAND ${CMAKE_COMMAND} -E copy <SOURCE_DIR>/jpeglib.h <SOURCE_DIR>/jmorecfg.h
            <SOURCE_DIR>/jerror.h <BINARY_DIR>/jconfig.h <INSTALL_DIR>/include/
  BUILD_BYPRODUCTS ${_libjpeg_library}
  LOG_DOWNLOAD ON LOG_CONFIGURE ON LOG_BUILD ON LOG_INSTALL ON
  LOG_OUTPUT_ON_FAILURE ON)

# The imported target's include folder must exist when the project is configured.
file(MAKE_DIRECTORY ${_libjpeg_install}/include ${_libjpeg_install}/lib)
add_library(jpeg_static STATIC IMPORTED GLOBAL)
set_target_properties(jpeg_static PROPERTIES
  IMPORTED_LOCATION ${_libjpeg_library}
  INTERFACE_INCLUDE_DIRECTORIES ${_libjpeg_install}/include)
add_dependencies(jpeg_static libjpeg_turbo)
