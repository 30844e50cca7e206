# Pasting 10,000 rows into a tag table of 30,000 tags and undoing it, through a shown main window.
add_executable(bench_sheet ${CMAKE_CURRENT_SOURCE_DIR}/sheet_bench.cpp ${CMAKE_CURRENT_SOURCE_DIR}/BenchWindow.h ${CMAKE_CURRENT_SOURCE_DIR}/WidgetBenchMain.cpp)
target_link_libraries(bench_sheet PRIVATE quortag quor_bench_support)
