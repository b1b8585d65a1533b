# The Windows side of this folder.
# The controls: list views, combo boxes, the toolbar, edit boxes and menus,
# over the common controls.
target_sources(qb_gui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/win32/combo_box.cpp
  ${CMAKE_CURRENT_LIST_DIR}/win32/edit.cpp
  ${CMAKE_CURRENT_LIST_DIR}/win32/list_ctrl.cpp
  ${CMAKE_CURRENT_LIST_DIR}/win32/menu.cpp
  ${CMAKE_CURRENT_LIST_DIR}/win32/tool_bar_ctrl.cpp
)
target_include_directories(qb_gui PUBLIC ${CMAKE_CURRENT_LIST_DIR}/win32)
target_link_libraries(qb_gui PUBLIC comctl32)
