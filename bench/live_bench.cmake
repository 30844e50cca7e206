# The live values of a 32,766-tag table: scrolling, opening with Live Values on, polling at 1 Hz.
add_executable(bench_live ${CMAKE_CURRENT_LIST_DIR}/live_bench.cpp ${CMAKE_CURRENT_LIST_DIR}/WindowBenchSetup.h)
target_link_libraries(bench_live PRIVATE quortag quor_bench_support)
add_dependencies(bench_live quorsim)
