# The Windows side of this folder.
# The internet client of the download over WinINet.
target_sources(qb_gui PRIVATE ${CMAKE_CURRENT_LIST_DIR}/internet_session_windows.cpp)
target_link_libraries(qb_gui PUBLIC wininet)
