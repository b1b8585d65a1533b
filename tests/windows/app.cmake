# The library's download over WinINet, against a server on 127.0.0.1.
add_executable(fetch_published_list fetch_published_list.cpp
  ${PROJECT_SOURCE_DIR}/manage/catalogue_download.cpp
  ${PROJECT_SOURCE_DIR}/manage/internet_exception.cpp
  ${PROJECT_SOURCE_DIR}/manage/internet_session_windows.cpp
  ${PROJECT_SOURCE_DIR}/toolkit/exception.cpp
  ${PROJECT_SOURCE_DIR}/toolkit/text.cpp)
target_include_directories(fetch_published_list PRIVATE
  ${PROJECT_SOURCE_DIR}/manage ${PROJECT_SOURCE_DIR}/toolkit)
target_link_libraries(fetch_published_list PRIVATE qb_core wininet qb_warnings)
find_package(Python3 REQUIRED COMPONENTS Interpreter)
add_test(NAME windows_download
         COMMAND Python3::Interpreter ${CMAKE_CURRENT_SOURCE_DIR}/test_windows_download.py
                 ${PROJECT_BINARY_DIR} $<TARGET_FILE_DIR:fetch_published_list>)
set_tests_properties(windows_download PROPERTIES TIMEOUT 300 RESOURCE_LOCK wine_display)
