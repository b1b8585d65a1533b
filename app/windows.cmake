# The Windows side of this folder.
# quillbridge.dll: the two entry points by ordinal (quillbridge.def), the
# application object tied to the library's attach and detach, the window run
# on the caller's thread, and the version record.
enable_language(RC)
target_sources(quillbridge_module PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/exports_windows.cpp
  ${CMAKE_CURRENT_LIST_DIR}/gui_thread_windows.cpp
  ${CMAKE_CURRENT_LIST_DIR}/main_dialog_windows.cpp
  ${CMAKE_CURRENT_LIST_DIR}/save_failure_windows.cpp
  ${CMAKE_CURRENT_LIST_DIR}/session_end_windows.cpp
  ${CMAKE_CURRENT_LIST_DIR}/window_server_windows.cpp
  ${CMAKE_CURRENT_LIST_DIR}/quillbridge.def
  ${CMAKE_CURRENT_LIST_DIR}/quillbridge.rc
)
# A DLL that hosts load by its file name: no "lib" prefix, in the build's top
# folder beside the programs.
set_target_properties(quillbridge_module PROPERTIES
  SUFFIX .dll)
target_link_options(quillbridge_module PRIVATE
  # The 32-bit QuillbridgeRun is __stdcall (_QuillbridgeRun@4): the .def's
  # undecorated name is bound to it.
  -Wl,--enable-stdcall-fixup
  # Only the .def's two names are exported, nothing the static libraries carry.
  -Wl,--exclude-all-symbols)
target_link_libraries(quillbridge_module PRIVATE ole32 user32)
