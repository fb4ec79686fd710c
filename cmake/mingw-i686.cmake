# The program: 32-bit Windows, Debian's MinGW-w64 (win32 threading model).
set(CMAKE_SYSTEM_PROCESSOR i686)
set(KC_MINGW_PREFIX i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
