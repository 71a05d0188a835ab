glyph_fuzzer(skin_description SOURCES ${CMAKE_CURRENT_LIST_DIR}/skin_description.cpp LIBS glyph_skin_core)
