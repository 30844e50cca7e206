# The merge driver (--merge) on two versions of 32,766 tags with 1,000 changes on each side,
# beside the plainest code that reads the three files and writes the merged rows.
add_executable(bench_merge ${CMAKE_CURRENT_LIST_DIR}/merge_bench.cpp)
target_link_libraries(bench_merge PRIVATE quor_core quor_bench_support)
