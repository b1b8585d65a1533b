# The Windows side of this folder: the WebBrowser control hosted by the
# system's atl.dll, its keys, the find dialog and the word picked on the page.
target_sources(qb_gui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/event_sink_windows.cpp
  ${CMAKE_CURRENT_LIST_DIR}/web_browser_windows.cpp
  ${CMAKE_CURRENT_LIST_DIR}/browser_keys_windows.cpp
  ${CMAKE_CURRENT_LIST_DIR}/find_bar_windows.cpp
  ${CMAKE_CURRENT_LIST_DIR}/page_word_picker_windows.cpp)

# mingw-w64 has no 32-bit import library of atl.dll: one is made from
# atl.def. For 32-bit Windows the stdcall decorations name the symbols and
# -k keeps them out of the names imported; 64-bit Windows has none.
set(QB_ATL_DEF ${CMAKE_CURRENT_LIST_DIR}/atl.def)
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(QB_ATL_DLLTOOL_FLAGS -k)
else()
  file(READ ${QB_ATL_DEF} QB_ATL_DEF_TEXT)
  string(REGEX REPLACE "@[0-9]+" "" QB_ATL_DEF_TEXT "${QB_ATL_DEF_TEXT}")
  set(QB_ATL_DEF ${CMAKE_CURRENT_BINARY_DIR}/atl.def)
  file(WRITE ${QB_ATL_DEF}.in "${QB_ATL_DEF_TEXT}")
  configure_file(${QB_ATL_DEF}.in ${QB_ATL_DEF} COPYONLY)
  set(QB_ATL_DLLTOOL_FLAGS)
endif()
set(QB_ATL_IMPLIB ${CMAKE_CURRENT_BINARY_DIR}/libqb_atl.a)
add_custom_command(OUTPUT ${QB_ATL_IMPLIB}
  COMMAND ${QB_MINGW_TRIPLET}-dlltool ${QB_ATL_DLLTOOL_FLAGS} -d ${QB_ATL_DEF} -l ${QB_ATL_IMPLIB}
  DEPENDS ${QB_ATL_DEF} ${CMAKE_CURRENT_LIST_DIR}/atl.def VERBATIM)
add_custom_target(qb_atl_implib DEPENDS ${QB_ATL_IMPLIB})
# The library is made before anything that links the window code.
add_dependencies(qb_gui qb_atl_implib)
target_link_libraries(qb_gui PUBLIC ${QB_ATL_IMPLIB} ole32 oleaut32 uuid shell32)
