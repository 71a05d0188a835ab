glyph_fuzzer(archive_open SOURCES archive_open.cpp LIBS glyph_support)
