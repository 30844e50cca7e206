# Opening a tag setting file of 32,766 tags into the main window's grid and saving it back.
add_executable(bench_tagfile ${CMAKE_CURRENT_LIST_DIR}/tagfile_bench.cpp ${CMAKE_CURRENT_LIST_DIR}/WindowBenchSetup.h)
target_link_libraries(bench_tagfile PRIVATE quortag quor_policy benchmark::benchmark)
