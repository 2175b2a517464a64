# Benchmarks of the door kit's channels (run by hand): keystroke echo, idle
# cost and output throughput over loopback telnet. The door-level runs use
# the kit's doortest from the same bin directory.
foreach(bench echo idle output)
  add_executable(bench_channel_${bench} ${CMAKE_CURRENT_LIST_DIR}/channel_${bench}.cpp)
  target_link_libraries(bench_channel_${bench} PRIVATE kit_channels project_warnings)
  target_include_directories(bench_channel_${bench} PRIVATE ${PROJECT_SOURCE_DIR})
endforeach()
