# The Windows side of this folder: the dialog templates and the toolbar bitmap
# become a resource script at build time, so dialogs.tpl stays their one source.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
enable_language(RC)
set(QB_RESOURCE_RC ${CMAKE_CURRENT_BINARY_DIR}/quillbridge_resources.rc)
set(QB_RESOURCE_BMP ${CMAKE_CURRENT_BINARY_DIR}/bitmap_138.bmp)
add_custom_command(
  OUTPUT ${QB_RESOURCE_RC} ${QB_RESOURCE_BMP}
  COMMAND Python3::Interpreter ${CMAKE_CURRENT_SOURCE_DIR}/make_windows_rc.py
          ${CMAKE_CURRENT_SOURCE_DIR}/dialogs.tpl ${CMAKE_CURRENT_SOURCE_DIR}/bitmap_138.xpm
          ${QB_RESOURCE_RC} ${QB_RESOURCE_BMP}
  DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/make_windows_rc.py ${CMAKE_CURRENT_SOURCE_DIR}/dialogs.tpl
          ${CMAKE_CURRENT_SOURCE_DIR}/bitmap_138.xpm
  COMMENT "Resource script from dialogs.tpl and bitmap_138.xpm"
  VERBATIM)
add_library(qb_resources OBJECT ${QB_RESOURCE_RC})
# The script is UTF-8: the Estonian letters of the templates depend on it.
target_compile_options(qb_resources PRIVATE $<$<COMPILE_LANGUAGE:RC>:--codepage=65001>)
# The RCDATA and BITMAP lines name files that change with the sources.
set_source_files_properties(${QB_RESOURCE_RC} PROPERTIES OBJECT_DEPENDS
  "${CMAKE_CURRENT_SOURCE_DIR}/dialogs.tpl;${QB_RESOURCE_BMP}")
