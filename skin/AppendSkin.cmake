# Carrying the default skin inside a program file.
#
# glyph_append_skin(TARGET) appends the six pictures in skin/default, each
# drawn at 1x, 1.5x and 2x, and the description to TARGET's file after each
# link, as a version-5 resource archive: the JPEG pictures stored as they
# are, the rest block-sorted, every entry named "Skin\<file>". The program
# reads its skin from there, and from a "Skin" folder when the archive is
# missing.
#
# glyphpack does the packing on the build machine; a cross build makes a
# native glyphpack of its own from the same sources (glyph_native_tools).
include_guard(GLOBAL)
include(ExternalProject)

# glyph_build_machine_tools(PACK ICON TARGET): sets PACK and ICON to the
# commands that run glyphpack and glyphicon on the build machine, and TARGET
# to the target that builds them (a native sub-build when cross-compiling).
function(glyph_build_machine_tools pack_var icon_var target_var)
  if(NOT CMAKE_CROSSCOMPILING)
    set(${pack_var} $<TARGET_FILE:glyphpack> PARENT_SCOPE)
    set(${icon_var} $<TARGET_FILE:glyphicon> PARENT_SCOPE)
    set(${target_var} glyphpack glyphicon PARENT_SCOPE)
    return()
  endif()
  set(dir ${CMAKE_BINARY_DIR}/native-tools)
  if(NOT TARGET glyph_native_tools)
    ExternalProject_Add(glyph_native_tools
      SOURCE_DIR ${PROJECT_SOURCE_DIR}
      BINARY_DIR ${dir}
      # -O2: at -O3 GCC 12 warns falsely (-Wrestrict) in libstdc++'s string
      # concatenation, which glyphicon's icon library uses.
      CMAKE_ARGS -DGLYPH_TESTS=OFF -DCMAKE_BUILD_TYPE=Release -DCMAKE_C_COMPILER=cc -DCMAKE_CXX_COMPILER=c++
                 "-DCMAKE_CXX_FLAGS_RELEASE=-O2 -DNDEBUG"
      BUILD_COMMAND ${CMAKE_COMMAND} --build ${dir} --target glyphpack glyphicon
      INSTALL_COMMAND ""
      BUILD_ALWAYS ON
      BUILD_BYPRODUCTS ${dir}/tools/glyphpack/glyphpack ${dir}/tools/glyphicon/glyphicon)
  endif()
  set(${pack_var} ${dir}/tools/glyphpack/glyphpack PARENT_SCOPE)
  set(${icon_var} ${dir}/tools/glyphicon/glyphicon PARENT_SCOPE)
  set(${target_var} glyph_native_tools PARENT_SCOPE)
endfunction()

function(glyph_append_skin target)
  set(skin_dir ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/default)
  glyph_build_machine_tools(pack unused tools)
  set(plain)
  set(packed)
  set(files)
  # Every picture comes drawn for 100 %, 150 % and 200 % displays.
  set(jpegs)
  set(bitmaps)
  foreach(scale "" "@1.5x" "@2x")
    foreach(f down main over)
      list(APPEND jpegs ${f}${scale}.jpg)
    endforeach()
    foreach(f horslider horslider_over mask)
      list(APPEND bitmaps ${f}${scale}.bmp)
    endforeach()
  endforeach()
  # The JPEG pictures gain nothing from packing; the rest is block-sorted.
  foreach(f ${jpegs})
    list(APPEND plain "${skin_dir}/${f}=Skin\\${f}")
    list(APPEND files ${skin_dir}/${f})
  endforeach()
  foreach(f ${bitmaps} skin.ini)
    list(APPEND packed "${skin_dir}/${f}=Skin\\${f}")
    list(APPEND files ${skin_dir}/${f})
  endforeach()
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${pack} add $<TARGET_FILE:${target}> -m plain ${plain}
    COMMAND ${pack} add $<TARGET_FILE:${target}> -m block ${packed}
    COMMENT "Appending the default skin to ${target}"
    VERBATIM)
  add_dependencies(${target} ${tools})
  # A changed picture relinks the program, which appends the skin again.
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${files})
endfunction()
