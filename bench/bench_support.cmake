# What the benchmark programs share: the figure lines with their floors, resident memory.
add_library(quor_bench_support STATIC ${CMAKE_CURRENT_LIST_DIR}/BenchFigures.cpp ${CMAKE_CURRENT_LIST_DIR}/BenchFigures.h)
target_link_libraries(quor_bench_support PUBLIC quor_policy benchmark::benchmark)
target_include_directories(quor_bench_support PUBLIC ${CMAKE_SOURCE_DIR})
