glyph_fuzzer(resample_sizes SOURCES ${CMAKE_CURRENT_LIST_DIR}/resample_sizes.cpp LIBS glyph_icon)
