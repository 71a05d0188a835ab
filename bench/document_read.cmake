# Reading an icon document: a 256 PNG entry and seven 32-bit BMP entries,
# timed by hand from a release build (document_read_bench).
add_executable(document_read_bench ${CMAKE_CURRENT_LIST_DIR}/DocumentReadBench.cpp)
target_link_libraries(document_read_bench PRIVATE glyph_icon)
target_include_directories(document_read_bench PRIVATE ${PROJECT_SOURCE_DIR})
target_compile_options(document_read_bench PRIVATE ${GLYPH_WARNINGS})
