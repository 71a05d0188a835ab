# One canvas redraw of a 256 x 256 image after a pen stroke step, at the fit
# zoom and zoomed in, against the former per-cell painting: bench/canvas_redraw.sh
# runs it under Wine on its own display.
if(WIN32)
  add_executable(canvas_redraw ${CMAKE_CURRENT_LIST_DIR}/CanvasRedrawBench.cpp)
  target_compile_options(canvas_redraw PRIVATE ${GLYPH_WARNINGS})
  target_link_libraries(canvas_redraw PRIVATE glyph_editor)
endif()
