# Windows build: the game, its art, and the tests run under Wine.
set(KUVEX_WIN_FLAGS -static -static-libgcc -static-libstdc++)
set(KUVEX_WIN_LIBS comctl32 shlwapi shell32 gdi32 user32 kernel32)

add_library(kuvex_core STATIC ${KUVEX_PURE_SOURCES})
kuvex_flags(kuvex_core)

# Art: a host-compiled generator draws ball.bmp, the icon and the cursor.
if(EXISTS ${CMAKE_SOURCE_DIR}/tools/make_art.cpp)
set(KUVEX_ART_DIR ${CMAKE_BINARY_DIR}/art)
set(KUVEX_ART ${KUVEX_ART_DIR}/ball.bmp ${KUVEX_ART_DIR}/kuvex.ico ${KUVEX_ART_DIR}/kuvex.cur)
find_program(HOST_CXX NAMES g++ c++ REQUIRED NO_CMAKE_FIND_ROOT_PATH)
add_custom_command(
  OUTPUT ${KUVEX_ART_DIR}/make_art
  COMMAND ${CMAKE_COMMAND} -E make_directory ${KUVEX_ART_DIR}
  COMMAND ${HOST_CXX} -std=c++17 -O2 -Wall -Wextra -Werror -o ${KUVEX_ART_DIR}/make_art ${CMAKE_SOURCE_DIR}/tools/make_art.cpp
  DEPENDS ${CMAKE_SOURCE_DIR}/tools/make_art.cpp
  COMMENT "Building the art generator for the host")
add_custom_command(
  OUTPUT ${KUVEX_ART}
  COMMAND ${KUVEX_ART_DIR}/make_art ${KUVEX_ART_DIR}
  DEPENDS ${KUVEX_ART_DIR}/make_art
  COMMENT "Drawing ball.bmp, the icon and the cursor")
add_custom_target(kuvex_art ALL DEPENDS ${KUVEX_ART})
# ball.bmp lies beside the exe (the game loads it from its current directory).
add_custom_command(TARGET kuvex_art POST_BUILD
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${KUVEX_ART_DIR}/ball.bmp ${CMAKE_BINARY_DIR}/ball.bmp)
else()
  set(KUVEX_ART_DIR ${CMAKE_BINARY_DIR}/art)
  set(KUVEX_ART)
  add_custom_target(kuvex_art)
endif()

set(KUVEX_RC ${CMAKE_SOURCE_DIR}/res/kuvex.rc)
file(GLOB KUVEX_RC_PARTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/res/*.rc ${CMAKE_SOURCE_DIR}/res/*.h ${CMAKE_SOURCE_DIR}/res/*.manifest)
set_source_files_properties(${KUVEX_RC} PROPERTIES OBJECT_DEPENDS "${KUVEX_ART};${KUVEX_RC_PARTS}")

function(kuvex_windows_program target)
  kuvex_flags(${target})
  target_include_directories(${target} PRIVATE ${KUVEX_ART_DIR} ${CMAKE_SOURCE_DIR}/res)
  target_link_options(${target} PRIVATE ${KUVEX_WIN_FLAGS})
  add_dependencies(${target} kuvex_art)
endfunction()

if(KUVEX_WIN_SOURCES)
  add_library(kuvex_win STATIC ${KUVEX_WIN_SOURCES})
  kuvex_flags(kuvex_win)
  target_link_libraries(kuvex_win PUBLIC kuvex_core ${KUVEX_WIN_LIBS})
endif()

if(EXISTS ${CMAKE_SOURCE_DIR}/app/winmain_win.cpp)
  add_executable(kuvex WIN32 ${CMAKE_SOURCE_DIR}/app/winmain_win.cpp ${KUVEX_RC})
  kuvex_windows_program(kuvex)
  target_link_libraries(kuvex PRIVATE kuvex_win)
endif()

# GoogleTest from Debian's sources, built with the cross compiler.
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
foreach(t gtest gtest_main)
  target_compile_options(${t} PRIVATE -w)
endforeach()

# Each Windows test program is one CTest test: Wine costs a second a process.
add_executable(core_tests ${KUVEX_CORE_TESTS})
kuvex_windows_program(core_tests)
target_link_libraries(core_tests PRIVATE kuvex_core gtest gtest_main)
add_test(NAME core_tests_wine COMMAND core_tests --gtest_brief=1 --gtest_shuffle --gtest_repeat=2)

file(GLOB KUVEX_WIN_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/win/*.cpp)
if(KUVEX_WIN_TESTS AND TARGET kuvex_win)
  # With the program's entry, so that its ways of giving up are tried in-process.
  add_executable(win_tests ${KUVEX_WIN_TESTS} ${CMAKE_SOURCE_DIR}/app/winmain_win.cpp ${KUVEX_RC})
  kuvex_windows_program(win_tests)
  target_link_libraries(win_tests PRIVATE kuvex_win gtest)
  # Shuffled and run twice in one process: a test that relies on what
  # another left, or leaves what the next trips on, fails.
  add_test(NAME win_tests COMMAND win_tests --gtest_brief=1 --gtest_shuffle --gtest_repeat=2)
  # Again at 144 and 192 dots per inch, in one prefix of its own, on a screen
  # of its own of 800 x 600, too small for the window scaled: the window's
  # size and place, the fitted captions and the title follow the resolution,
  # and every window stays on the screen.
  add_test(NAME win_tests_dpi COMMAND xvfb-run -a -s "-screen 0 800x600x24" sh -c
    "for dpi in 144 192; do KUVEX_DPI=$dpi ${CMAKE_SOURCE_DIR}/scripts/wine-run.sh $<TARGET_FILE:win_tests> --gtest_brief=1 || exit 1; done")
endif()

# Black-box tests: one driver program starts the real kuvex.exe (found beside
# it) in fresh folders and plays it with real input.
file(GLOB KUVEX_E2E_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/e2e/*.cpp)
if(KUVEX_E2E_TESTS AND TARGET kuvex)
  add_executable(e2e_tests ${KUVEX_E2E_TESTS})
  kuvex_windows_program(e2e_tests)
  target_link_libraries(e2e_tests PRIVATE kuvex_core gtest gtest_main psapi ${KUVEX_WIN_LIBS})
  add_dependencies(e2e_tests kuvex)
  add_test(NAME e2e_tests COMMAND e2e_tests --gtest_brief=1)
  # A soak run (KUVEX_SOAK=<games>) takes about five seconds a game.
  set(_e2e_timeout 180)
  if(DEFINED ENV{KUVEX_SOAK})
    math(EXPR _e2e_timeout "180 + 10 * $ENV{KUVEX_SOAK}")
  endif()
  set_tests_properties(e2e_tests PROPERTIES ENVIRONMENT "KUVEX_BUILD_DIR=${CMAKE_BINARY_DIR}"
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR} TIMEOUT ${_e2e_timeout})
endif()

# A hang fails the test instead of stalling the run.
set_tests_properties(core_tests_wine PROPERTIES ENVIRONMENT "KUVEX_BUILD_DIR=${CMAKE_BINARY_DIR}" TIMEOUT 180)
if(TEST win_tests)
  # KUVEX_ACP and KUVEX_DPI: the code page and resolution the run must have.
  set_tests_properties(win_tests PROPERTIES ENVIRONMENT "KUVEX_BUILD_DIR=${CMAKE_BINARY_DIR};KUVEX_ACP=1251"
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR} TIMEOUT 150)
  set_tests_properties(win_tests_dpi PROPERTIES ENVIRONMENT
    "KUVEX_BUILD_DIR=${CMAKE_BINARY_DIR};KUVEX_WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix-dpi;KUVEX_ACP=1251;GTEST_FILTER=Game.Dialogs:Game.EveryWindowReadableAndWhole"
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR} TIMEOUT 120)
  # The texts and the name's bytes once more on a Western system (code page
  # 1252) and on a Chinese one (936, two bytes a letter), in a prefix of
  # their own: Wine rewrites a prefix's regional settings for the locale it
  # is started in.
  # The filter goes in the environment: a colon on the command line would be
  # taken for part of the program's folder, as the game takes it.
  # KUVEX_ACP makes the tests check that the code page is the one asked for.
  # The two long append tests are left out: their names are bytes and their
  # paths wide, so no code page reaches them, and they cost 5 s a run.
  set(_run "${CMAKE_SOURCE_DIR}/scripts/wine-run.sh $<TARGET_FILE:win_tests> --gtest_brief=1")
  add_test(NAME win_tests_codepages COMMAND sh -c
    "KUVEX_LANG=C.UTF-8 KUVEX_ACP=1252 ${_run} && KUVEX_LANG=zh_CN.UTF-8 KUVEX_ACP=936 ${_run}")
  set_tests_properties(win_tests_codepages PROPERTIES WORKING_DIRECTORY ${CMAKE_BINARY_DIR} TIMEOUT 150
    ENVIRONMENT "KUVEX_BUILD_DIR=${CMAKE_BINARY_DIR};KUVEX_WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix-cp;GTEST_FILTER=Files.*:Game.Dialogs:Game.EveryWindowReadableAndWhole-Files.FourAppendsAtOnceToALargeFileAllLand:Files.AListingKeepsNoAppendOut")
endif()

# Windows benchmarks: each tools/bench/<name>_win.cpp is a program bench_<name>,
# run by hand or by the test command's benchmark step.
file(GLOB KUVEX_WIN_BENCHES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tools/bench/*_win.cpp)
foreach(src ${KUVEX_WIN_BENCHES})
  get_filename_component(_name ${src} NAME_WE)
  string(REGEX REPLACE "_win$" "" _name ${_name})
  add_executable(bench_${_name} ${src} ${KUVEX_RC})
  kuvex_windows_program(bench_${_name})
  target_link_libraries(bench_${_name} PRIVATE kuvex_win)
endforeach()

# Release: kuvex-2002-<version>-win64.zip with the exe, stripped of its
# symbols and debug sections, ball.bmp and a short how-to-play in Russian and
# English.
if(TARGET kuvex)
  install(TARGETS kuvex RUNTIME DESTINATION .)
  install(FILES ${CMAKE_BINARY_DIR}/ball.bmp ${CMAKE_SOURCE_DIR}/res/how-to-play.txt DESTINATION .)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_NAME kuvex-2002)
  set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
  set(CPACK_PACKAGE_FILE_NAME kuvex-2002-${PROJECT_VERSION}-win64)
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
  set(CPACK_STRIP_FILES ON)
  include(CPack)
  # The package as a player gets it: made, unpacked afresh, started.
  add_test(NAME release_package
    COMMAND sh ${CMAKE_SOURCE_DIR}/scripts/release-check.sh ${CMAKE_CPACK_COMMAND})
  set_tests_properties(release_package PROPERTIES WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
    ENVIRONMENT "KUVEX_BUILD_DIR=${CMAKE_BINARY_DIR}" TIMEOUT 180)
endif()
