glyph_fuzzer(bmp_read SOURCES ${CMAKE_CURRENT_LIST_DIR}/bmp_read.cpp LIBS glyph_core_portable)
