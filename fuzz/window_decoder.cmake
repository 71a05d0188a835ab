glyph_fuzzer(window_decoder SOURCES window_decoder.cpp LIBS glyph_support)
