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

# kc_link_reproducible(<target>)
#
# Links <target> so that its bytes depend on its sources alone: the same commit built in any
# folder, at any time, gives the same file, which anyone can rebuild and compare with a release
# (scripts/release; the test reproducible_build in tests/release builds it again elsewhere).
#
# Two clean builds in two folders differed only in the PE header's link time stamp (ld writes the
# clock's time) and the header checksum over it: --no-insert-timestamp writes 0 there. Windows'
# loader does not check an .exe's own time stamp (bound imports compare the DLLs'). A time taken
# from the commit would not do: a build folder that linked before a commit that changed no source
# keeps the older commit's time, so its bytes would depend on its history. ld computes the
# checksum over the final bytes, and the import gate (tests/imports) checks it.
#
# -s leaves out the symbol table and the debug information, which only the MinGW runtime's objects
# carried (ours are compiled without -g), with the paths of Debian's build of it. A file without
# them ends on its file alignment, so signing appends the signature with no padding before it, and
# `osslsigncode remove-signature` gives back the built bytes exactly: a signed release compares
# byte for byte with anyone's build of its commit.
function(kc_link_reproducible target)
  if(NOT KC_WIN32)
    return()
  endif()
  target_link_options(${target} PRIVATE "LINKER:--no-insert-timestamp" "LINKER:-s")
endfunction()
