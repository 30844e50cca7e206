# Grid operations on a tag table of 30,000 rows, with and without a view attached.
add_executable(bench_grid ${CMAKE_CURRENT_SOURCE_DIR}/grid_bench.cpp ${CMAKE_CURRENT_SOURCE_DIR}/WidgetBenchMain.cpp)
target_link_libraries(bench_grid PRIVATE quortag quor_bench_support)

# The tag table's Add, Delete and rename handlers on 30,000 tags, through a shown main window.
add_executable(bench_tagtable ${CMAKE_CURRENT_SOURCE_DIR}/tagtable_bench.cpp ${CMAKE_CURRENT_SOURCE_DIR}/BenchWindow.h ${CMAKE_CURRENT_SOURCE_DIR}/WidgetBenchMain.cpp)
target_link_libraries(bench_tagtable PRIVATE quortag quor_bench_support)

# Picking variables on 40,000 names: the search in cmbVars, the Add Variables dialog and a
# 10,000-row multi-add, through a shown main window.
add_executable(bench_picking ${CMAKE_CURRENT_SOURCE_DIR}/picking_bench.cpp ${CMAKE_CURRENT_SOURCE_DIR}/BenchWindow.h ${CMAKE_CURRENT_SOURCE_DIR}/WidgetBenchMain.cpp)
target_link_libraries(bench_picking PRIVATE quortag quor_bench_support Qt6::Test)
