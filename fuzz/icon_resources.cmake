# The icon-resource reader on arbitrary bytes: PE, NE and icon files.
glyph_fuzzer(icon_resources SOURCES ${CMAKE_CURRENT_LIST_DIR}/icon_resources.cpp LIBS glyph_icon)
