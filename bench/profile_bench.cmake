# The INI profile store against the plainest code that writes and reads the same file.
add_executable(bench_profile ${CMAKE_CURRENT_LIST_DIR}/profile_bench.cpp)
target_link_libraries(bench_profile PRIVATE quortag benchmark::benchmark quor_policy)
