# The internet client of the download over Qt Network.
target_sources(qb_gui PRIVATE ${CMAKE_CURRENT_LIST_DIR}/internet_session_linux.cpp)
target_link_libraries(qb_gui PUBLIC Qt6::Network)
