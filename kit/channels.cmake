# The door kit's channels to the caller: telnet socket, native door, serial
# line and standard input/output, with their worker threads.
add_library(kit_channels STATIC
  ${CMAKE_CURRENT_LIST_DIR}/byte_queue.cpp
  ${CMAKE_CURRENT_LIST_DIR}/channel_factory.cpp
  ${CMAKE_CURRENT_LIST_DIR}/door32_channel.cpp
  ${CMAKE_CURRENT_LIST_DIR}/native_door_login.cpp
  ${CMAKE_CURRENT_LIST_DIR}/queued_channel.cpp
  ${CMAKE_CURRENT_LIST_DIR}/serial_channel.cpp
  ${CMAKE_CURRENT_LIST_DIR}/stdio_channel.cpp
  ${CMAKE_CURRENT_LIST_DIR}/telnet_channel.cpp)
target_include_directories(kit_channels PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(kit_channels PUBLIC platform PRIVATE project_warnings)

# Stand-ins for the BBS's native-door libraries, under their real file names,
# so the native-door path runs for real in the tests.
set(KIT_STANDIN_DIR ${CMAKE_BINARY_DIR}/tests/standin)
add_library(door32_standin SHARED ${CMAKE_CURRENT_LIST_DIR}/tests/standin/door32_standin.cpp)
add_library(wcsrv_standin SHARED ${CMAKE_CURRENT_LIST_DIR}/tests/standin/wcsrv_standin.cpp)
foreach(standin door32_standin wcsrv_standin)
  target_link_libraries(${standin} PRIVATE project_warnings)
  set_target_properties(${standin} PROPERTIES
    PREFIX "" SUFFIX ".DLL"
    LIBRARY_OUTPUT_DIRECTORY ${KIT_STANDIN_DIR})
endforeach()
set_target_properties(door32_standin PROPERTIES OUTPUT_NAME "DOOR32")
set_target_properties(wcsrv_standin PROPERTIES OUTPUT_NAME "WCSRV")

drakmoor_add_test(kit_channel_tests
  ${CMAKE_CURRENT_LIST_DIR}/tests/channel_queue_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tests/channel_telnet_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tests/channel_stdio_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tests/channel_door32_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tests/serial_pty_test.cpp
  LIBS kit_channels)
target_compile_definitions(kit_channel_tests PRIVATE KIT_STANDIN_DIR="${KIT_STANDIN_DIR}")
add_dependencies(kit_channel_tests door32_standin wcsrv_standin)
