# kc_add_test(<name> SOURCES <files...> [LIBS <libs...>] [ENV <VAR=value...>] [RUNS <suffix:VAR=value,...>...])
#
# Builds a GoogleTest executable linked with the core and registers it with CTest. In the win32
# build CTest runs it through the Wine test bed (tests/winebed/wine-run), each run in a fresh prefix;
# ENV sets the test bed's options (WINEBED_DRIVES, WINEBED_WINVER, WINEBED_FILES) for every run.
# Each RUNS entry registers one more run of the same executable, named <name>_<suffix>, with its
# own extra environment (comma-separated), e.g. "xp:WINEBED_WINVER=winxp".
function(kc_add_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;ENV;RUNS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE kc_core kc_test_support GTest::gtest_main ${T_LIBS})
  target_compile_options(${name} PRIVATE ${KC_WARNINGS})
  if(T_RUNS)
    foreach(run IN LISTS T_RUNS)
      string(REPLACE ":" ";" fields "${run}")
      list(GET fields 0 suffix)
      list(GET fields 1 extra)
      string(REPLACE "," ";" extra "${extra}")
      add_test(NAME ${name}_${suffix} COMMAND ${name})
      set_tests_properties(${name}_${suffix} PROPERTIES ENVIRONMENT "${T_ENV};${extra}")
    endforeach()
  else()
    add_test(NAME ${name} COMMAND ${name})
    if(T_ENV)
      set_tests_properties(${name} PROPERTIES ENVIRONMENT "${T_ENV}")
    endif()
  endif()
endfunction()

# kc_add_test_cases(<name> SOURCES <files...> [LIBS ...] [ENV ...] [ISOLATED <Suite.Case>...])
#
# Like kc_add_test, for a program some of whose cases change the machine for good (remove a
# folder, point a registry value nowhere): each ISOLATED case is registered on its own as
# <name>_<Case> and so runs in a prefix of its own; one more run, <name>, takes all other cases.
# An isolated run passes only when exactly that one case ran and passed, so a mistyped name fails.
function(kc_add_test_cases name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;ENV;ISOLATED" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE kc_core kc_test_support GTest::gtest_main ${T_LIBS})
  target_compile_options(${name} PRIVATE ${KC_WARNINGS})
  string(REPLACE ";" ":" excluded "${T_ISOLATED}")
  add_test(NAME ${name} COMMAND ${name} "--gtest_filter=-${excluded}")
  if(T_ENV)
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "${T_ENV}")
  endif()
  foreach(case IN LISTS T_ISOLATED)
    string(REGEX REPLACE "^.*\\." "" suffix "${case}")
    add_test(NAME ${name}_${suffix} COMMAND ${name} "--gtest_filter=${case}")
    set_tests_properties(${name}_${suffix} PROPERTIES
      PASS_REGULAR_EXPRESSION "\\[  PASSED  \\] 1 test\\."
      FAIL_REGULAR_EXPRESSION "\\[  FAILED  \\]|\\[  SKIPPED \\]")
    if(T_ENV)
      set_tests_properties(${name}_${suffix} PROPERTIES ENVIRONMENT "${T_ENV}")
    endif()
  endforeach()
endfunction()
