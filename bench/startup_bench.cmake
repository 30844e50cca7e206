# Start to window shown and exit: the program's start-up beside a bare Qt window with a table
# view, each its own process, started in turn by bench_startup.
add_executable(bench_startup_app ${CMAKE_CURRENT_LIST_DIR}/startup_app.cpp)
target_link_libraries(bench_startup_app PRIVATE quortag quor_policy)
add_executable(bench_bare_window ${CMAKE_CURRENT_LIST_DIR}/bare_window.cpp)
target_link_libraries(bench_bare_window PRIVATE Qt6::Widgets quor_policy)
add_executable(bench_startup ${CMAKE_CURRENT_LIST_DIR}/startup_bench.cpp)
target_link_libraries(bench_startup PRIVATE quor_bench_support)
add_dependencies(bench_startup bench_startup_app bench_bare_window quorsim)
