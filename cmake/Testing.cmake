# Test registration for both builds.
#
# Every test program is linked with the build's version and, under Wine,
# with the payload's reach and facts (cmake/ProductCode.cmake), as the setup
# is.
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
  target_link_libraries(${name} PRIVATE ${T_LIBS} pm_product_version GTest::gtest GTest::gtest_main)
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
  target_link_libraries(${name} PRIVATE ${T_LIBS} pm_product_version pm_payload_reach pm_payload_facts gtest
    gtest_main)
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

# pm_add_fuzz_target(<name> SOURCES ... [LIBS ...] CORPUS <dir> [DICT <file>]
#                    [MAX_LEN n] [RUNS n])
#   A libFuzzer program of the native build (ASan and UBSan on), named
#   <name>_fuzz. The rules it fuzzes are listed among its SOURCES rather than
#   linked, so that they carry the fuzzer's coverage marks. CTest runs it
#   briefly and deterministically over the committed seeds in CORPUS (handed
#   over as files, so nothing is written into the source tree); the test is
#   called <name>_fuzz too. tools/fuzz.sh runs every such program for longer.
function(pm_add_fuzz_target name)
  if(CMAKE_CROSSCOMPILING)
    return()
  endif()
  cmake_parse_arguments(F "" "CORPUS;DICT;MAX_LEN;RUNS" "SOURCES;LIBS" ${ARGN})
  if(NOT F_MAX_LEN)
    set(F_MAX_LEN 4096)
  endif()
  if(NOT F_RUNS)
    set(F_RUNS 100000)
  endif()
  set(target ${name}_fuzz)
  add_executable(${target} ${F_SOURCES})
  target_compile_options(${target} PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_options(${target} PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_libraries(${target} PRIVATE ${F_LIBS} pm_product_version)
  file(GLOB seeds CONFIGURE_DEPENDS ${F_CORPUS}/*)
  list(JOIN seeds "," seed_list)
  set(dict_option "")
  if(F_DICT)
    set(dict_option -dict=${F_DICT})
  endif()
  add_test(NAME ${target}
    COMMAND ${target} -seed=1 -runs=${F_RUNS} -max_len=${F_MAX_LEN} ${dict_option}
      -seed_inputs=${seed_list} -artifact_prefix=${CMAKE_CURRENT_BINARY_DIR}/)
  set_tests_properties(${target} PROPERTIES LABELS "native;fuzz" TIMEOUT 120)
  # What tools/fuzz.sh needs to run the program on its own.
  file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/fuzz-targets/${target}
    CONTENT "binary=$<TARGET_FILE:${target}>\ncorpus=${F_CORPUS}\ndict=${F_DICT}\nmax_len=${F_MAX_LEN}\n")
endfunction()
