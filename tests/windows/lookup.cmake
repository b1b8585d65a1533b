# The browser control under Wine, against a server of the test's own.
add_executable(test_web_browser_windows ${CMAKE_CURRENT_LIST_DIR}/test_web_browser_windows.cpp)
target_link_libraries(test_web_browser_windows PRIVATE qb_gui GTest::gtest_main ws2_32 qb_warnings)
add_test(NAME windows_web_browser COMMAND test_web_browser_windows)
set_tests_properties(windows_web_browser PROPERTIES TIMEOUT 300)
