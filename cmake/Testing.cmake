# Test registration for both builds.
#
# pm_add_native_test(<name> SOURCES ... [LIBS ...])
#   A GoogleTest program of the native build (sanitizers on), label "native".
# pm_add_windows_test(<name> SOURCES ... [LIBS ...] [ENVIRONMENT ...] [TIMEOUT s])
#   A GoogleTest program of the Windows build, run under Wine in the test
#   run's own prefix, label "windows". All Wine tests share one prefix and so
#   run one at a time.

function(pm_add_native_test name)
  if(CMAKE_CROSSCOMPILING)
    return()
  endif()
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES LABELS native TIMEOUT 300)
endfunction()

function(pm_add_windows_test name)
  if(NOT CMAKE_CROSSCOMPILING)
    return()
  endif()
  cmake_parse_arguments(T "" "TIMEOUT" "SOURCES;LIBS;ENVIRONMENT" ${ARGN})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 600)
  endif()
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} gtest gtest_main)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES
    LABELS windows
    TIMEOUT ${T_TIMEOUT}
    FIXTURES_REQUIRED wine_prefix
    RESOURCE_LOCK wine
    ENVIRONMENT "${T_ENVIRONMENT}")
endfunction()

# Converts a path of this machine to the name a program under Wine sees
# (Wine's drive Z: is the root of the Unix file system).
function(pm_wine_path out path)
  string(REPLACE "/" "\\" p "${path}")
  set(${out} "Z:${p}" PARENT_SCOPE)
endfunction()
