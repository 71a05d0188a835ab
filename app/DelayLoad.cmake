# glyph_delay_load(TARGET DLL...): TARGET loads each named system DLL on its
# first call into it, not at its start. A program's start waits for every
# DLL it imports and for everything those import in turn (comdlg32 brings
# the print spooler); the browser, the common dialogs, the shell's "open"
# and dropped files need theirs only when they are used.
#
# For each DLL a delay-import library is made from the toolchain's own
# import library (every function it names, so a new call into the DLL is
# delayed too) and put in a folder that only TARGET searches before the
# toolchain's: every "-lDLL" of TARGET's link, its libraries' included,
# finds the delayed one. The toolchain's __delayLoadHelper2 (mingwex)
# loads the DLL and binds the function on the first call.
set(GLYPH_DELAY_LOAD_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/MakeDelayImport.cmake)

function(glyph_delay_load target)
  set(dir ${CMAKE_CURRENT_BINARY_DIR}/${target}-delay-load)
  set(libs)
  foreach(dll IN LISTS ARGN)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=lib${dll}.a
                    OUTPUT_VARIABLE source OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(NOT IS_ABSOLUTE "${source}")
      message(FATAL_ERROR "no import library for ${dll} in the toolchain")
    endif()
    set(lib ${dir}/lib${dll}.a)
    add_custom_command(OUTPUT ${lib}
      COMMAND ${CMAKE_COMMAND} -DNM=${CMAKE_NM} -DDLLTOOL=${CMAKE_DLLTOOL} -DSOURCE=${source} -DDLL=${dll}
              -DOUTPUT=${lib} -DPOINTER_SIZE=${CMAKE_SIZEOF_VOID_P} -P ${GLYPH_DELAY_LOAD_SCRIPT}
      DEPENDS ${source} ${GLYPH_DELAY_LOAD_SCRIPT}
      COMMENT "Delay-import library for ${dll}.dll"
      VERBATIM)
    list(APPEND libs ${lib})
  endforeach()
  add_custom_target(${target}_delay_load DEPENDS ${libs})
  add_dependencies(${target} ${target}_delay_load)
  target_link_directories(${target} PRIVATE ${dir})
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${libs})
endfunction()
