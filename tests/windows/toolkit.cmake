# The toolkit's frame under Wine: the reshaped property sheet, dialogs from the
# built-in templates, message boxes. Windows of its own on the virtual display.
add_executable(test_toolkit_frame ${CMAKE_CURRENT_LIST_DIR}/test_toolkit_frame.cpp)
target_link_libraries(test_toolkit_frame PRIVATE qb_gui qb_core qb_warnings GTest::gtest_main)
gtest_discover_tests(test_toolkit_frame DISCOVERY_TIMEOUT 120 PROPERTIES TIMEOUT 120 RUN_SERIAL TRUE)
if(TARGET qb_wine_prefix)
  add_dependencies(test_toolkit_frame qb_wine_prefix)
endif()
