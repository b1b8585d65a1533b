# The platform's side of the browser control, its keys, the find bar and the
# word picked on the page: Qt WebEngine and Qt Widgets.
target_sources(qb_gui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/web_browser_linux.cpp
  ${CMAKE_CURRENT_LIST_DIR}/browser_keys_linux.cpp
  ${CMAKE_CURRENT_LIST_DIR}/find_bar_linux.cpp
  ${CMAKE_CURRENT_LIST_DIR}/page_word_picker_linux.cpp)
