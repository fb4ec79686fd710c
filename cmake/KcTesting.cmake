# kc_add_test(<name>
#     [SOURCES <files...>] [LIBS <targets...>] [SEES <paths...>] [OWN_MAIN] [NEEDS <targets...>]
#     [PROGRAM <target>] [COMMAND <command> <args...>] [ARGS <args...>]
#     [ENV <VAR=value...>] [RUNS <suffix>:<item>,<item>...] [ISOLATED <Suite.Case>...]
#     [ONE_CASE] [PASS <regex>] [FAIL <regex>] [LABELS <labels...>] [TIMEOUT <seconds>])
#
# Registers every kind of test of the project with CTest.
#
# What runs: PROGRAM (default <name>), an executable target, with ARGS. In the Windows builds CTest
# runs it through the Wine test bed (tests/winebed/wine-run, the toolchain's emulator), each run in
# a fresh prefix; ENV sets the test bed's options (WINEBED_DRIVES, WINEBED_WINVER, WINEBED_FILES) and
# any other environment. COMMAND runs a script or host tool instead (no emulator).
#
# Building it: with SOURCES, PROGRAM is built from them with warnings as errors and linked with the
# LIBS (the layers it tests), the shared test support and GoogleTest's main; OWN_MAIN leaves out
# GoogleTest's main, for a program that has its own (with GTest::gtest in LIBS if it uses
# GoogleTest). SEES adds folders or files of the source tree that are no library's (the test's own
# helpers, e.g. tests/e2e) to its include path. NEEDS names targets that must be built before the
# program runs (programs it copies or starts).
#
# How many runs: one, <name>, unless
#   RUNS      each entry registers <name>_<suffix> instead; its items are environment settings
#             (VAR=value, VAR in capitals) or arguments after ARGS (anything else), e.g.
#             "xp:WINEBED_WINVER=winxp" or "full_run:--gtest_filter=FullRun.*,WINEBED_DRIVES=d".
#   ISOLATED  for a program some of whose cases change the machine for good (remove a folder, point
#             a registry value nowhere): each case runs on its own as <name>_<Case>, in a prefix of
#             its own, and <name> runs all the others.
#
# When it passes: ONE_CASE (and every ISOLATED run) passes only when exactly one case ran and
# passed, so a mistyped filter fails; PASS and FAIL set the output's regular expressions.
function(kc_add_test name)
  cmake_parse_arguments(T "OWN_MAIN;ONE_CASE" "PROGRAM;PASS;FAIL;TIMEOUT"
    "SOURCES;LIBS;SEES;NEEDS;COMMAND;ARGS;ENV;RUNS;ISOLATED;LABELS" ${ARGN})
  if(T_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "kc_add_test(${name}): unknown arguments ${T_UNPARSED_ARGUMENTS}")
  endif()
  if(NOT T_PROGRAM)
    set(T_PROGRAM ${name})
  endif()

  if(T_SOURCES)
    add_executable(${T_PROGRAM} ${T_SOURCES})
    target_link_libraries(${T_PROGRAM} PRIVATE ${T_LIBS} kc_test_support)
    if(NOT T_OWN_MAIN)
      target_link_libraries(${T_PROGRAM} PRIVATE GTest::gtest_main)
    endif()
    target_compile_options(${T_PROGRAM} PRIVATE ${KC_WARNINGS})
    if(T_SEES)
      kc_include_root(${T_PROGRAM} PRIVATE ${T_SEES})
    endif()
  endif()
  if(T_NEEDS)
    add_dependencies(${T_PROGRAM} ${T_NEEDS})
  endif()

  if(T_COMMAND)
    set(command ${T_COMMAND})
  else()
    set(command ${T_PROGRAM} ${T_ARGS})
  endif()

  set(one_case_pass "\\[  PASSED  \\] 1 test\\.")
  set(one_case_fail "\\[  FAILED  \\]|\\[  SKIPPED \\]")
  if(T_ONE_CASE)
    set(pass ${one_case_pass})
    set(fail ${one_case_fail})
  endif()
  if(T_PASS)
    set(pass ${T_PASS})
  endif()
  if(T_FAIL)
    set(fail ${T_FAIL})
  endif()

  set(tests)
  if(T_RUNS)
    foreach(run IN LISTS T_RUNS)
      if(NOT run MATCHES "^([A-Za-z0-9_]+):(.*)$")
        message(FATAL_ERROR "kc_add_test(${name}): a run is <suffix>:<items>, not \"${run}\"")
      endif()
      set(test ${name}_${CMAKE_MATCH_1})
      string(REPLACE "," ";" items "${CMAKE_MATCH_2}")
      set(args)
      set(env ${T_ENV})
      foreach(item IN LISTS items)
        if(item MATCHES "^[A-Z_][A-Z0-9_]*=")
          list(APPEND env "${item}")
        else()
          list(APPEND args "${item}")
        endif()
      endforeach()
      add_test(NAME ${test} COMMAND ${command} ${args})
      kc_set_test_properties(${test} "${env}" "${pass}" "${fail}")
      list(APPEND tests ${test})
    endforeach()
  else()
    if(T_ISOLATED)
      string(REPLACE ";" ":" excluded "${T_ISOLATED}")
      add_test(NAME ${name} COMMAND ${command} "--gtest_filter=-${excluded}")
    else()
      add_test(NAME ${name} COMMAND ${command})
    endif()
    kc_set_test_properties(${name} "${T_ENV}" "${pass}" "${fail}")
    list(APPEND tests ${name})
    foreach(case IN LISTS T_ISOLATED)
      string(REGEX REPLACE "^.*\\." "" suffix "${case}")
      add_test(NAME ${name}_${suffix} COMMAND ${command} "--gtest_filter=${case}")
      kc_set_test_properties(${name}_${suffix} "${T_ENV}" "${one_case_pass}" "${one_case_fail}")
      list(APPEND tests ${name}_${suffix})
    endforeach()
  endif()

  foreach(test IN LISTS tests)
    if(T_LABELS)
      set_tests_properties(${test} PROPERTIES LABELS "${T_LABELS}")
    endif()
    if(T_TIMEOUT)
      set_tests_properties(${test} PROPERTIES TIMEOUT ${T_TIMEOUT})
    endif()
  endforeach()
endfunction()

# The environment and output expressions of one registered test; empty ones are left unset.
function(kc_set_test_properties test env pass fail)
  list(REMOVE_ITEM env "")
  if(env)
    set_tests_properties(${test} PROPERTIES ENVIRONMENT "${env}")
  endif()
  if(pass)
    set_tests_properties(${test} PROPERTIES PASS_REGULAR_EXPRESSION "${pass}")
  endif()
  if(fail)
    set_tests_properties(${test} PROPERTIES FAIL_REGULAR_EXPRESSION "${fail}")
  endif()
endfunction()
