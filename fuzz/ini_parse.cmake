glyph_fuzzer(ini_parse SOURCES ini_parse.cpp LIBS glyph_support)
