# The block-sorting compressor against bzip2 -9 (run by hand from a release
# build: compress_bench), and raw stream conversion for checks across builds.
add_executable(compress_bench ${CMAKE_CURRENT_LIST_DIR}/CompressBench.cpp)
target_link_libraries(compress_bench PRIVATE glyph_support)
target_compile_options(compress_bench PRIVATE ${GLYPH_WARNINGS})
