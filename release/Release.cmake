# What every program of the release carries: the version, set once as the
# project's version and generated into a header the resource scripts and
# the code read, and the manifest (release/program.manifest.in).
#
# glyph_program_resources(TARGET SCRIPT) compiles a program's one resource
# script, which includes release/Program.rc, into TARGET.
set(GLYPH_GENERATED_DIR ${CMAKE_BINARY_DIR}/generated)
configure_file(${CMAKE_CURRENT_LIST_DIR}/Version.h.in ${GLYPH_GENERATED_DIR}/GlyphVersion.h @ONLY)
configure_file(${CMAKE_CURRENT_LIST_DIR}/program.manifest.in ${GLYPH_GENERATED_DIR}/program.manifest @ONLY)
include_directories(${GLYPH_GENERATED_DIR})

# Where resource scripts find the release's pieces.
set(GLYPH_RELEASE_RC_INCLUDES ${PROJECT_SOURCE_DIR} ${CMAKE_CURRENT_LIST_DIR} ${GLYPH_GENERATED_DIR})
# The resource compiler's dependencies are not scanned: these rebuild a
# script that includes release/Program.rc.
set(GLYPH_RELEASE_RC_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/Program.rc ${GLYPH_GENERATED_DIR}/GlyphVersion.h
                             ${GLYPH_GENERATED_DIR}/program.manifest)

function(glyph_program_resources target script)
  if(NOT WIN32)
    return()
  endif()
  get_target_property(sources ${target} SOURCES)
  if(NOT script IN_LIST sources)
    target_sources(${target} PRIVATE ${script})
  endif()
  set_property(SOURCE ${script} APPEND PROPERTY OBJECT_DEPENDS ${GLYPH_RELEASE_RC_DEPENDS})
  set_property(SOURCE ${script} APPEND PROPERTY INCLUDE_DIRECTORIES ${GLYPH_RELEASE_RC_INCLUDES})
endfunction()

# glyph_split_debug(TARGET): a Windows program's debug information (many
# times its code) goes to TARGET.debug beside it, which the program names
# for a debugger; Wine's loader reads the whole image at every start. A
# post-build step: it must come before any other that appends to the file.
function(glyph_split_debug target)
  if(NOT WIN32)
    return()
  endif()
  set(debug $<TARGET_FILE_DIR:${target}>/${target}.debug)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_OBJCOPY} --only-keep-debug $<TARGET_FILE:${target}> ${debug}
    COMMAND ${CMAKE_OBJCOPY} --strip-debug --add-gnu-debuglink=${debug} $<TARGET_FILE:${target}>
    VERBATIM)
endfunction()

# glyph_program_icon(TARGET SCRIPT): the program's own icon in every size Windows
# asks for, made during the build: the art script draws the picture at
# each size, and `glyphicon make`, built for the build machine, puts them
# in one icon file (PNG for 256) that SCRIPT, the resource script of
# TARGET, names as "glyphsmith.ico".
function(glyph_program_icon target script)
  set(sizes 16 20 24 32 40 48 64 256)
  set(art ${PROJECT_SOURCE_DIR}/editor/res/make_art.py)
  set(pictures_dir ${CMAKE_CURRENT_BINARY_DIR}/program-icon)
  set(icon ${GLYPH_GENERATED_DIR}/glyphsmith.ico)
  set(pictures)
  foreach(side ${sizes})
    list(APPEND pictures ${pictures_dir}/program-${side}.png)
  endforeach()
  list(JOIN sizes , size_list)
  find_program(GLYPH_PYTHON NAMES python3 PATHS /usr/bin NO_DEFAULT_PATH)
  find_program(GLYPH_PYTHON NAMES python3 REQUIRED)
  glyph_build_machine_tools(unused glyphicon tool_depends)
  add_custom_command(
    OUTPUT ${icon}
    COMMAND ${GLYPH_PYTHON} ${art} --program-pictures ${pictures_dir} ${sizes}
    COMMAND ${glyphicon} make ${icon} ${pictures} --sizes ${size_list} --png-from 256
    DEPENDS ${art} ${tool_depends} ${glyphicon}
    COMMENT "Making the program's icon (${size_list})"
    VERBATIM)
  add_custom_target(${target}_icon DEPENDS ${icon})
  add_dependencies(${target} ${target}_icon)
  set_property(SOURCE ${script} APPEND PROPERTY OBJECT_DEPENDS ${icon})
endfunction()
