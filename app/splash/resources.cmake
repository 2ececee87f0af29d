# The splash window's resources: the window definition compiled from form1.def, with the
# splash picture inside it, and the main icon. Included by the program, the test host and the
# tests; guarded per folder, so that SPLASH_DIR is set in each folder that includes it.
include_guard(DIRECTORY)
find_package(Python3 REQUIRED COMPONENTS Interpreter)

set(SPLASH_DIR ${CMAKE_CURRENT_LIST_DIR})
set(SPLASH_DEFINITION_TOOL ${CMAKE_CURRENT_LIST_DIR}/../../tools/assets/make-definition.py)

# window_definition_command(OUTPUT): a build rule that compiles form1.def into OUTPUT.
# Name OUTPUT among the sources or dependencies of a target in the same directory.
function(window_definition_command output)
  add_custom_command(OUTPUT ${output}
    COMMAND Python3::Interpreter ${SPLASH_DEFINITION_TOOL} ${SPLASH_DIR}/form1.def ${output}
    DEPENDS ${SPLASH_DIR}/form1.def ${SPLASH_DIR}/splash.jpg ${SPLASH_DEFINITION_TOOL}
    COMMENT "Compiling the window definition form1.bin"
    VERBATIM)
endfunction()

# add_splash_resources(TARGET): builds form1.bin (target TARGET_form1_definition) and links
# the resources TFORM1 and MAINICON into TARGET through splash.rc.
function(add_splash_resources target)
  set(definition ${CMAKE_CURRENT_BINARY_DIR}/form1.bin)
  window_definition_command(${definition})
  add_custom_target(${target}_form1_definition DEPENDS ${definition})
  add_dependencies(${target} ${target}_form1_definition)

  target_sources(${target} PRIVATE ${SPLASH_DIR}/splash.rc)
  set_source_files_properties(${SPLASH_DIR}/splash.rc PROPERTIES
    OBJECT_DEPENDS "${definition};${SPLASH_DIR}/mainicon.ico")
  # The resource compiler finds both files through its include path.
  target_include_directories(${target} PRIVATE
    $<$<COMPILE_LANGUAGE:RC>:${CMAKE_CURRENT_BINARY_DIR}>
    $<$<COMPILE_LANGUAGE:RC>:${SPLASH_DIR}>)
endfunction()
