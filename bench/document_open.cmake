# Opening a 256 + 7-size icon in the main window and showing it:
# bench/document_open.sh runs it under Wine on a display of its own.
if(WIN32)
  add_executable(document_open_bench ${CMAKE_CURRENT_LIST_DIR}/DocumentOpenBench.cpp)
  target_compile_options(document_open_bench PRIVATE ${GLYPH_WARNINGS} -municode)
  target_link_options(document_open_bench PRIVATE -municode)
  target_link_libraries(document_open_bench PRIVATE glyph_app glyph_app_res)
  if(COMMAND glyph_append_skin)
    glyph_append_skin(document_open_bench)
  endif()
endif()
