# Opening tag setting files of 32,766 and 100,000 tags into the main window's grid and saving
# them back, beside the plainest code doing the same; peak memory with 100,000 tags.
add_executable(bench_tagfile ${CMAKE_CURRENT_LIST_DIR}/tagfile_bench.cpp ${CMAKE_CURRENT_LIST_DIR}/WindowBenchSetup.h)
target_link_libraries(bench_tagfile PRIVATE quortag quor_bench_support)
