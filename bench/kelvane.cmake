# kelvane's start-up benchmark (run by hand): process start to the team
# options menu on a game of 150 players and 149 teams, over loopback telnet.
add_executable(kelvane_startup_bench ${CMAKE_CURRENT_LIST_DIR}/kelvane_startup.cpp)
target_link_libraries(kelvane_startup_bench PRIVATE kelvane_screens project_warnings)
target_include_directories(kelvane_startup_bench PRIVATE ${PROJECT_SOURCE_DIR})
