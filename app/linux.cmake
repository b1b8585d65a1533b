# The library's services over Qt and POSIX: the entry points, the thread of
# its own application, the window socket's server, the session's end.
target_sources(quillbridge_module PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/exports_linux.cpp
  ${CMAKE_CURRENT_LIST_DIR}/gui_thread_linux.cpp
  ${CMAKE_CURRENT_LIST_DIR}/main_dialog_linux.cpp
  ${CMAKE_CURRENT_LIST_DIR}/message_filter_linux.cpp
  ${CMAKE_CURRENT_LIST_DIR}/save_failure_linux.cpp
  ${CMAKE_CURRENT_LIST_DIR}/session_end_linux.cpp
  ${CMAKE_CURRENT_LIST_DIR}/wake_forwarder_linux.cpp
  ${CMAKE_CURRENT_LIST_DIR}/window_server_linux.cpp
)
set_target_properties(quillbridge_module PROPERTIES
  LINK_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/quillbridge.map)
target_link_options(quillbridge_module PRIVATE
  -Wl,--version-script=${CMAKE_CURRENT_LIST_DIR}/quillbridge.map -Wl,--no-undefined
  # Qt keeps using the library's code and data after a host's dlclose; it stays
  # loaded until the process ends, and shuts down then.
  -Wl,-z,nodelete)
# The user's one window goes through the channel's socket.
target_link_libraries(quillbridge_module PRIVATE qb_channel Qt6::Quick)
