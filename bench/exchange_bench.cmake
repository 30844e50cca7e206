# The script command that exports 32,766 tags as CSV, and importing that CSV into the window.
add_executable(bench_exchange ${CMAKE_CURRENT_LIST_DIR}/exchange_bench.cpp ${CMAKE_CURRENT_LIST_DIR}/WindowBenchSetup.h)
target_link_libraries(bench_exchange PRIVATE quortag quor_bench_support)
