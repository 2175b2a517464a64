# Key wait and output benchmarks of the kit spine.
add_executable(kit_bench ${CMAKE_CURRENT_LIST_DIR}/kit_bench.cpp)
target_link_libraries(kit_bench PRIVATE kit_testing project_warnings)
