# The Windows side of this folder.
# quillbridge.exe WORD: loads quillbridge.dll from its own folder and calls its
# entry point by ordinal, as the library's hosts do.
add_executable(quillbridge host_main_windows.cpp command_line.cpp)
target_include_directories(quillbridge PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}
  ${PROJECT_SOURCE_DIR}/include)
target_compile_definitions(quillbridge PRIVATE UNICODE _UNICODE)
target_link_options(quillbridge PRIVATE -municode)
target_link_libraries(quillbridge PRIVATE qb_core version qb_warnings)
set_target_properties(quillbridge PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR})
add_dependencies(quillbridge quillbridge_module)

# The example host in C, built as a host's author would build it.
add_executable(quillbridge-example-host ${PROJECT_SOURCE_DIR}/examples/host.c)
target_include_directories(quillbridge-example-host PRIVATE ${PROJECT_SOURCE_DIR}/include)
target_compile_definitions(quillbridge-example-host PRIVATE UNICODE _UNICODE)
target_link_options(quillbridge-example-host PRIVATE -municode)
target_link_libraries(quillbridge-example-host PRIVATE qb_warnings)
set_target_properties(quillbridge-example-host PROPERTIES
  RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR})
