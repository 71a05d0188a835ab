# The icon browser's folder scan over Wine's system folder, against the
# platform's in-process icon count over the same files: bench/scan.sh runs it.
if(WIN32)
  add_executable(scan_bench ${CMAKE_CURRENT_LIST_DIR}/ScanBench.cpp)
  target_compile_options(scan_bench PRIVATE ${GLYPH_WARNINGS} -municode)
  target_link_options(scan_bench PRIVATE -municode)
  target_link_libraries(scan_bench PRIVATE glyph_browser shell32)
endif()
