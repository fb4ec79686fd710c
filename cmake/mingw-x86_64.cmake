# The same sources for 64-bit Windows. Only for running the Wine tests on machines whose kernel
# cannot execute 32-bit Linux programs (ia32_emulation off), where wine32 cannot start.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(KC_MINGW_PREFIX x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
