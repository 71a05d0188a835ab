# Start-up of glyphsmith.exe against a bare dialog program under the same
# Wine: bench/startup.sh times both from launch to a visible window.
if(WIN32)
  add_executable(bare_dialog WIN32 ${CMAKE_CURRENT_LIST_DIR}/BareDialog.cpp)
  target_compile_options(bare_dialog PRIVATE ${GLYPH_WARNINGS})
endif()
