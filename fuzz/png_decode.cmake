glyph_fuzzer(png_decode SOURCES ${CMAKE_CURRENT_LIST_DIR}/png_decode.cpp LIBS glyph_icon)
