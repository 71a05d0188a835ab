# The compressed-stream decoder on arbitrary bytes, and round trips of
# arbitrary input through the compressor.
glyph_fuzzer(compress_stream SOURCES ${CMAKE_CURRENT_LIST_DIR}/compress_stream.cpp LIBS glyph_support)
