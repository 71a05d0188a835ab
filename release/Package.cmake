# The portable package: what `cmake --install` puts in one folder, and the
# ZIP CPack makes of it (Glyphsmith-VERSION-win64.zip; win32 from the x86
# build). Text files get Windows line ends, as Notepad expects them.
if(NOT WIN32 OR NOT TARGET glyphsmith)
  return()
endif()

# The programs as built: glyphsmith.exe carries its skin, appended after
# the link (stripping would cut it off).
install(TARGETS glyphsmith glyphicon glyphpack RUNTIME DESTINATION .)

set(program_dir ${CMAKE_BINARY_DIR}/app)
if(TARGET glyphsmith_help)
  install(FILES ${program_dir}/glyphsmith.chm DESTINATION .)
endif()
install(DIRECTORY ${program_dir}/help DESTINATION .)

set(text_dir ${CMAKE_BINARY_DIR}/release)
configure_file(${CMAKE_CURRENT_LIST_DIR}/README.txt.in ${text_dir}/README.txt @ONLY NEWLINE_STYLE CRLF)
configure_file(${PROJECT_SOURCE_DIR}/LICENSE ${text_dir}/LICENSE.txt COPYONLY)
file(READ ${text_dir}/LICENSE.txt licence)
string(REPLACE "\n" "\r\n" licence "${licence}")
file(WRITE ${text_dir}/LICENSE.txt "${licence}")
install(FILES ${text_dir}/README.txt ${text_dir}/LICENSE.txt DESTINATION .)

if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(platform win64)
else()
  set(platform win32)
endif()
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME Glyphsmith)
set(CPACK_PACKAGE_VENDOR "The Glyphsmith developers")
set(CPACK_PACKAGE_FILE_NAME Glyphsmith-${PROJECT_VERSION}-${platform})
# Unpacked, the package is one folder of that name.
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_SOURCE_GENERATOR "")
include(CPack)
