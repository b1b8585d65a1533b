# 32-bit Windows, the hosts the library was made for.
set(CMAKE_SYSTEM_PROCESSOR x86)
set(QB_MINGW_TRIPLET i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
