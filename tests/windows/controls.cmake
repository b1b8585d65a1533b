# The toolkit's controls over the real common controls, driven by the
# messages the system itself sends them.
add_executable(test_controls ${CMAKE_CURRENT_LIST_DIR}/test_controls.cpp)
target_include_directories(test_controls PRIVATE ${PROJECT_SOURCE_DIR}/lookup)
target_link_libraries(test_controls PRIVATE qb_gui qb_warnings GTest::gtest_main)
if(TARGET qb_wine_prefix)
  add_dependencies(test_controls qb_wine_prefix)
endif()
# The menu's own loop ends when another program's window comes to the front.
gtest_discover_tests(test_controls DISCOVERY_TIMEOUT 120 PROPERTIES RUN_SERIAL TRUE TIMEOUT 120)
