# The icon browser's folder scan over Wine's system folder, against a loop of
# icoutils' wrestool over the same files: bench/scan.sh runs both.
if(WIN32)
  add_executable(scan_bench ${CMAKE_CURRENT_LIST_DIR}/ScanBench.cpp)
  target_compile_options(scan_bench PRIVATE ${GLYPH_WARNINGS} -municode)
  target_link_options(scan_bench PRIVATE -municode)
  target_link_libraries(scan_bench PRIVATE glyph_browser)
endif()
