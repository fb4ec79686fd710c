# Shared by the MinGW-w64 toolchain files; KC_MINGW_PREFIX names the target triplet.
# The posix threading model: GoogleTest needs std::mutex, which the win32 model lacks in GCC 12.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER   ${KC_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KC_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER  ${KC_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${KC_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# Every test executable runs in a throwaway Wine prefix, so ctest runs them like native ones.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../tests/winebed/wine-run)
