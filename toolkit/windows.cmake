# The Windows side of this folder: the toolkit over plain Win32 and the common
# controls. The frame: windows, dialogs, property sheets and pages, message
# boxes, the busy cursor, resources.
target_sources(qb_gui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/win32/application.cpp
  ${CMAKE_CURRENT_LIST_DIR}/win32/dialog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/win32/dialog_template.cpp
  ${CMAKE_CURRENT_LIST_DIR}/win32/exception_report.cpp
  ${CMAKE_CURRENT_LIST_DIR}/win32/message_box.cpp
  ${CMAKE_CURRENT_LIST_DIR}/win32/page_layout.cpp
  ${CMAKE_CURRENT_LIST_DIR}/win32/property_page.cpp
  ${CMAKE_CURRENT_LIST_DIR}/win32/property_sheet.cpp
  ${CMAKE_CURRENT_LIST_DIR}/win32/resource_loader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/win32/text_case.cpp
  ${CMAKE_CURRENT_LIST_DIR}/win32/wait_cursor.cpp
  ${CMAKE_CURRENT_LIST_DIR}/win32/wnd.cpp
)
# The controls: list views, combo boxes, the toolbar, edit boxes and menus,
# over the common controls.
target_sources(qb_gui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/win32/combo_box.cpp
  ${CMAKE_CURRENT_LIST_DIR}/win32/edit.cpp
  ${CMAKE_CURRENT_LIST_DIR}/win32/list_ctrl.cpp
  ${CMAKE_CURRENT_LIST_DIR}/win32/menu.cpp
  ${CMAKE_CURRENT_LIST_DIR}/win32/tool_bar_ctrl.cpp
)
# Windows platform files of every folder reach the Win32 side of the toolkit.
target_include_directories(qb_gui PUBLIC ${CMAKE_CURRENT_LIST_DIR}/win32)
target_compile_definitions(qb_gui PUBLIC UNICODE _UNICODE)
target_link_libraries(qb_gui PUBLIC comctl32 user32 gdi32)
# The dialogs and the bitmap go into whatever links the toolkit: a resource
# object in a static library would be left out, nothing referring to it.
target_sources(qb_gui INTERFACE $<TARGET_OBJECTS:qb_resources>)
