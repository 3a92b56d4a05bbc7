# Native build: pure code, its tests under ASan/UBSan, benchmarks, host tools.
# Fuzzing (clang's libFuzzer with ASan and UBSan): a separate configuration,
# -DKUVEX_FUZZ=ON with clang++, builds one fuzzer per tests/fuzz/*.cpp and
# registers a run of each as a test: by default the same 20,000 inputs on
# every machine (seed 1, no saved corpus), so the suite passes or fails alike
# everywhere; with KUVEX_FUZZ_SECONDS above 0, that many seconds of new
# inputs from a corpus kept in the build, to search further.
option(KUVEX_FUZZ "Build the libFuzzer targets (needs clang)" OFF)
if(KUVEX_FUZZ)
  set(KUVEX_FUZZ_SECONDS 0 CACHE STRING "Seconds of new inputs each fuzzer runs in the test (0: the seeded run)")
  set(_fuzz -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all)
  # Only the record reader is fuzzed; clang (which has no CP1251 execution
  # charset) builds it as it is, since the fuzzer never reads its dates' text.
  add_library(kuvex_core_fuzz STATIC ${CMAKE_SOURCE_DIR}/scores/record.cpp)
  target_compile_options(kuvex_core_fuzz PRIVATE ${KUVEX_WARNINGS})
  target_include_directories(kuvex_core_fuzz PRIVATE ${CMAKE_SOURCE_DIR})
  target_compile_options(kuvex_core_fuzz PRIVATE ${_fuzz})
  file(GLOB KUVEX_FUZZERS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/fuzz/*.cpp)
  foreach(src ${KUVEX_FUZZERS})
    get_filename_component(_name ${src} NAME_WE)
    add_executable(${_name} ${src})
    target_compile_options(${_name} PRIVATE ${KUVEX_WARNINGS})
    target_include_directories(${_name} PRIVATE ${CMAKE_SOURCE_DIR})
    target_compile_options(${_name} PRIVATE -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all)
    target_link_options(${_name} PRIVATE -fsanitize=fuzzer,address,undefined)
    target_link_libraries(${_name} PRIVATE kuvex_core_fuzz)
    if(KUVEX_FUZZ_SECONDS GREATER 0)
      set(_corpus ${CMAKE_BINARY_DIR}/corpus/${_name})
      file(MAKE_DIRECTORY ${_corpus})
      set(_budget -max_total_time=${KUVEX_FUZZ_SECONDS} ${_corpus})
    else()
      set(_budget -seed=1 -runs=20000)
    endif()
    add_test(NAME ${_name} COMMAND ${_name} ${_budget} -print_final_stats=1)
    # A hang fails instead of stalling the run: the time asked for (20,000
    # inputs take about 15 s on a busy machine) and a minute.
    math(EXPR _timeout "${KUVEX_FUZZ_SECONDS} + 60")
    set_tests_properties(${_name} PROPERTIES TIMEOUT ${_timeout})
  endforeach()
  return() # this configuration builds the fuzzers only
endif()

find_package(GTest REQUIRED)
find_package(Threads REQUIRED)

set(KUVEX_SANITIZE -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)

add_library(kuvex_core STATIC ${KUVEX_PURE_SOURCES})
kuvex_flags(kuvex_core)
target_compile_options(kuvex_core PRIVATE ${KUVEX_SANITIZE})

add_executable(core_tests ${KUVEX_CORE_TESTS})
kuvex_flags(core_tests)
target_compile_options(core_tests PRIVATE ${KUVEX_SANITIZE})
target_link_options(core_tests PRIVATE ${KUVEX_SANITIZE})
target_link_libraries(core_tests PRIVATE kuvex_core GTest::gtest GTest::gtest_main Threads::Threads)
# Shuffled and run three times in one process, so that a test relying on
# another's leftovers, or leaving some, fails; a few
# seconds under ASan, so a minute means a hang.
add_test(NAME core_tests COMMAND core_tests --gtest_brief=1 --gtest_shuffle --gtest_repeat=3)
set_tests_properties(core_tests PROPERTIES TIMEOUT 60)

# Benchmarks: the same pure code, optimised and without sanitizers.
find_package(benchmark QUIET)
file(GLOB KUVEX_BENCH_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tools/bench/*.cpp)
list(FILTER KUVEX_BENCH_SOURCES EXCLUDE REGEX "_win\\.cpp$")
if(benchmark_FOUND AND KUVEX_BENCH_SOURCES)
  add_library(kuvex_core_fast STATIC ${KUVEX_PURE_SOURCES})
  kuvex_flags(kuvex_core_fast)
  target_compile_options(kuvex_core_fast PRIVATE -O2)
  add_executable(bench_core ${KUVEX_BENCH_SOURCES})
  kuvex_flags(bench_core)
  target_compile_options(bench_core PRIVATE -O2)
  target_link_libraries(bench_core PRIVATE kuvex_core_fast benchmark::benchmark Threads::Threads)
endif()

# Host tools (asset generator) are built here too, so they can be tested.
if(EXISTS ${CMAKE_SOURCE_DIR}/tools/make_art.cpp)
  add_executable(make_art ${CMAKE_SOURCE_DIR}/tools/make_art.cpp)
  target_compile_options(make_art PRIVATE ${KUVEX_WARNINGS})
endif()
