# The toolkit over Qt Widgets.
target_sources(qb_gui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/qt/application.cpp
  ${CMAKE_CURRENT_LIST_DIR}/qt/combo_box.cpp
  ${CMAKE_CURRENT_LIST_DIR}/qt/cut_text_tool_tip.cpp
  ${CMAKE_CURRENT_LIST_DIR}/qt/dialog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/qt/dialog_controls.cpp
  ${CMAKE_CURRENT_LIST_DIR}/qt/dialog_template.cpp
  ${CMAKE_CURRENT_LIST_DIR}/qt/dialog_window.cpp
  ${CMAKE_CURRENT_LIST_DIR}/qt/edit.cpp
  ${CMAKE_CURRENT_LIST_DIR}/qt/estonian_translator.cpp
  ${CMAKE_CURRENT_LIST_DIR}/qt/event_hook.cpp
  ${CMAKE_CURRENT_LIST_DIR}/qt/exception_report.cpp
  ${CMAKE_CURRENT_LIST_DIR}/qt/list_ctrl.cpp
  ${CMAKE_CURRENT_LIST_DIR}/qt/menu.cpp
  ${CMAKE_CURRENT_LIST_DIR}/qt/message_box.cpp
  ${CMAKE_CURRENT_LIST_DIR}/qt/property_page.cpp
  ${CMAKE_CURRENT_LIST_DIR}/qt/property_sheet.cpp
  ${CMAKE_CURRENT_LIST_DIR}/qt/resource_loader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/qt/template_layout.cpp
  ${CMAKE_CURRENT_LIST_DIR}/qt/text_case.cpp
  ${CMAKE_CURRENT_LIST_DIR}/qt/tool_bar_ctrl.cpp
  ${CMAKE_CURRENT_LIST_DIR}/qt/wait_cursor.cpp
  ${CMAKE_CURRENT_LIST_DIR}/qt/wnd.cpp
)
# Linux platform files of every folder reach the Qt side of the toolkit.
target_include_directories(qb_gui PUBLIC ${CMAKE_CURRENT_LIST_DIR}/qt)
target_link_libraries(qb_gui PUBLIC Qt6::Widgets Qt6::WebEngineWidgets Qt6::Network)
# The templates and the bitmap travel with the library, whoever links it.
target_sources(qb_gui PRIVATE $<TARGET_OBJECTS:qb_resources>)
set_target_properties(qb_gui PROPERTIES AUTOMOC ON)
