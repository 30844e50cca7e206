# The script command that generates 200 tag setting files of 1,000 tags from a template, beside
# the plainest code writing the same files.
add_executable(bench_generate ${CMAKE_CURRENT_LIST_DIR}/generate_bench.cpp)
target_link_libraries(bench_generate PRIVATE quor_core quor_bench_support)
