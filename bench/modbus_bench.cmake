# A poll cycle of a 1,000-tag table and a browse of its map on the moving demo device, in
# requests the device counts beside the map's minimal block count.
add_executable(bench_modbus_poll ${CMAKE_CURRENT_LIST_DIR}/modbus_poll_bench.cpp)
target_link_libraries(bench_modbus_poll PRIVATE quor_core quor_modbus_device benchmark::benchmark quor_policy)
target_compile_definitions(bench_modbus_poll PRIVATE QUOR_MODBUS_PLUGIN="$<TARGET_FILE:quormodbus>")
add_dependencies(bench_modbus_poll quormodbus)

# A scan of 10,000 holding registers with 100 gaps, in requests beside a knowing reader's.
add_executable(bench_modbus_scan ${CMAKE_CURRENT_LIST_DIR}/modbus_scan_bench.cpp)
target_link_libraries(bench_modbus_scan PRIVATE quor_core quor_modbus_device benchmark::benchmark quor_policy)
target_compile_definitions(bench_modbus_scan PRIVATE QUOR_MODBUS_PLUGIN="$<TARGET_FILE:quormodbus>")
add_dependencies(bench_modbus_scan quormodbus)
