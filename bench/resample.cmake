# The icon resampler's speed (resample_bench, by hand from a release build)
# and raw RGBA conversion for resample_pillow.py, which compares its output
# with Pillow's.
add_executable(resample_bench ${CMAKE_CURRENT_LIST_DIR}/ResampleBench.cpp)
target_link_libraries(resample_bench PRIVATE glyph_icon)
target_include_directories(resample_bench PRIVATE ${PROJECT_SOURCE_DIR})
target_compile_options(resample_bench PRIVATE ${GLYPH_WARNINGS})
