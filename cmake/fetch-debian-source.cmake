# Unpacks a Debian source package into SOURCE_DIR, fetching it into DOWNLOAD_DIR first
# unless it is already there. Quiet and idempotent: an unpacked tree or an earlier download
# is used as it is. Needs a deb-src entry (tools/install-deps.sh writes one) but not root.
#   cmake -DPACKAGE=name -DDOWNLOAD_DIR=dir -DSOURCE_DIR=dir -P fetch-debian-source.cmake
foreach(var PACKAGE DOWNLOAD_DIR SOURCE_DIR)
  if(NOT ${var})
    message(FATAL_ERROR "fetch-debian-source: ${var} is not set")
  endif()
endforeach()

if(EXISTS ${SOURCE_DIR}/CMakeLists.txt)
  return()
endif()

function(run)
  execute_process(COMMAND ${ARGN} WORKING_DIRECTORY ${DOWNLOAD_DIR}
                  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
  if(NOT result EQUAL 0)
    string(REPLACE ";" " " command "${ARGN}")
    message(FATAL_ERROR "fetch-debian-source: '${command}' failed (${result}):\n${output}")
  endif()
endfunction()

file(MAKE_DIRECTORY ${DOWNLOAD_DIR})
file(GLOB descriptions ${DOWNLOAD_DIR}/${PACKAGE}_*.dsc)
if(NOT descriptions)
  run(apt-get source --download-only -qq ${PACKAGE})
  file(GLOB descriptions ${DOWNLOAD_DIR}/${PACKAGE}_*.dsc)
  if(NOT descriptions)
    message(FATAL_ERROR "fetch-debian-source: apt-get source left no ${PACKAGE}_*.dsc")
  endif()
endif()
# Several versions after an upgrade: take the highest.
list(SORT descriptions COMPARE NATURAL)
list(GET descriptions -1 description)

# dpkg-source refuses an existing target; a half-unpacked tree is replaced.
file(REMOVE_RECURSE ${SOURCE_DIR})
run(dpkg-source --no-copy -x ${description} ${SOURCE_DIR})
