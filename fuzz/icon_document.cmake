# Icon documents from arbitrary bytes: icon, PE and NE files and pictures.
glyph_fuzzer(icon_document SOURCES ${CMAKE_CURRENT_LIST_DIR}/icon_document.cpp LIBS glyph_icon)
