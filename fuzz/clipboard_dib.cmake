glyph_fuzzer(clipboard_dib SOURCES ${CMAKE_CURRENT_LIST_DIR}/clipboard_dib.cpp LIBS glyph_icon)
