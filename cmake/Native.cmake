# Native build: pure code, its tests under ASan/UBSan, benchmarks, host tools.
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
add_test(NAME core_tests COMMAND core_tests --gtest_brief=1)

# Benchmarks: the same pure code, optimised and without sanitizers.
find_package(benchmark QUIET)
file(GLOB KUVEX_BENCH_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/bench/*.cpp)
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
