# kc_link_xp_runtime(<target>)
#
# Links <target> against the win32-threading-model runtime of the same MinGW-w64 compiler.
#
# Why: the toolchain is the posix-threading-model compiler, because GoogleTest needs std::mutex.
# Its static libstdc++ (guard.o, eh_alloc.o) pulls in libwinpthread, which imports
# KERNEL32!GetTickCount64, and Windows XP refuses to load a program importing a function it lacks.
# The win32-model runtime needs no pthread library. Only the link changes: objects compiled by
# the posix and the win32 compilers are the same apart from the compiler's ident string, since the
# program uses no threads. -B puts that runtime's folder (libgcc, libgcc_eh, libstdc++, crtbegin)
# ahead of the posix one; libwinpthread then has nothing to resolve and stays out.
#
# For what ships (FontList.exe) only; the tests keep the posix runtime. The import gate
# (tests/imports) fails if an import newer than XP SP3 comes back.
# Configuring fails when the win32-model compiler is missing (package gcc-mingw-w64-*-win32).
function(kc_link_xp_runtime target)
  if(NOT KC_WIN32)
    return()
  endif()
  if(NOT DEFINED CACHE{KC_XP_RUNTIME_DIR})
    execute_process(
      COMMAND ${KC_MINGW_PREFIX}-gcc-win32 -print-libgcc-file-name
      OUTPUT_VARIABLE libgcc OUTPUT_STRIP_TRAILING_WHITESPACE
      RESULT_VARIABLE status)
    if(NOT status EQUAL 0 OR NOT EXISTS "${libgcc}")
      message(FATAL_ERROR "${KC_MINGW_PREFIX}-gcc-win32 names no libgcc ('${libgcc}'): install gcc-mingw-w64's win32 compiler")
    endif()
    get_filename_component(dir "${libgcc}" DIRECTORY)
    set(KC_XP_RUNTIME_DIR "${dir}" CACHE INTERNAL "Folder of the win32-threading-model runtime")
  endif()
  # The trailing slash makes -B a folder, not a prefix of file names.
  target_link_options(${target} PRIVATE "-B${KC_XP_RUNTIME_DIR}/")
endfunction()
