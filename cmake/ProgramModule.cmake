# A module of the program: a shared object in the program folder that links a large library only
# some runs need, loaded by the windows when first needed (shell/TProgramModules).
#   sonarvex_program_module(TARGET SOURCES src... LIBRARIES lib... NAMED_IN file DEFINE macro)
# The file that loads it gets the module's file name as the macro.
function(sonarvex_program_module target)
  cmake_parse_arguments(PARSE_ARGV 1 ARG "" "NAMED_IN;DEFINE" "SOURCES;LIBRARIES")
  add_library(${target} MODULE ${ARG_SOURCES})
  target_include_directories(${target} PRIVATE ${CMAKE_SOURCE_DIR}/src)
  target_link_libraries(${target} PRIVATE ${ARG_LIBRARIES})
  # The module calls the C library only through the C++ runtime, so an as-needed link (the
  # default of Debian's compiler) would leave it out, and Debian's package checks insist that a
  # shared object names it. It comes first: once another library has brought it in, the linker
  # no longer records it.
  if(CMAKE_SYSTEM_NAME STREQUAL "Linux")
    target_link_options(${target} PRIVATE "LINKER:--push-state,--no-as-needed,-lc,--pop-state")
  endif()
  # It lies in the program folder, beside the executable.
  set_target_properties(${target} PROPERTIES LIBRARY_OUTPUT_DIRECTORY ${SONARVEX_PROGRAM_DIR}
                        CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON)
  sonarvex_warnings(${target})
  sonarvex_qt_defines(${target})
  install(TARGETS ${target} LIBRARY DESTINATION ${SONARVEX_INSTALL_DIR})
  set_property(SOURCE ${ARG_NAMED_IN} DIRECTORY ${CMAKE_SOURCE_DIR}/src
               APPEND PROPERTY COMPILE_DEFINITIONS ${ARG_DEFINE}="$<TARGET_FILE_NAME:${target}>")
  # Whatever links the windows (the program, the UI tests) finds the module built.
  add_dependencies(sonarvexui ${target})
endfunction()
