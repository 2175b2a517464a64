# The kit's session spine: start-up and drop files, output, input and timers,
# the local console model and its terminal mirror.
add_library(kit STATIC
  ${CMAKE_CURRENT_LIST_DIR}/ansi_interpreter.cpp
  ${CMAKE_CURRENT_LIST_DIR}/cp437.cpp
  ${CMAKE_CURRENT_LIST_DIR}/door_input.cpp
  ${CMAKE_CURRENT_LIST_DIR}/door_output.cpp
  ${CMAKE_CURRENT_LIST_DIR}/door_session.cpp
  ${CMAKE_CURRENT_LIST_DIR}/drop_files.cpp
  ${CMAKE_CURRENT_LIST_DIR}/kit_state.cpp
  ${CMAKE_CURRENT_LIST_DIR}/local_keyboard.cpp
  ${CMAKE_CURRENT_LIST_DIR}/screen_model.cpp
  ${CMAKE_CURRENT_LIST_DIR}/terminal_mirror.cpp)
target_include_directories(kit PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(kit PUBLIC platform kit_channels PRIVATE project_warnings)

# Screen-test support: an in-memory channel and a scripted caller.
add_library(kit_testing STATIC
  ${CMAKE_CURRENT_LIST_DIR}/testing/memory_channel.cpp
  ${CMAKE_CURRENT_LIST_DIR}/testing/scripted_caller.cpp)
target_link_libraries(kit_testing PUBLIC kit PRIVATE project_warnings)

# A small door for trying the kit by hand and for end-to-end tests.
add_executable(doortest ${CMAKE_CURRENT_LIST_DIR}/tools/doortest.cpp)
target_link_libraries(doortest PRIVATE kit project_warnings)

drakmoor_add_test(kit_tests
  ${CMAKE_CURRENT_LIST_DIR}/tests/ansi_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tests/output_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tests/input_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tests/session_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tests/keyboard_test.cpp
  LIBS kit_testing)
