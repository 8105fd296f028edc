# The benchmark inside hx21app: its portable parts, the GDI screens and state step, the test script.
set(BENCH_PORTABLE bench_text.cpp bench_modes.cpp bench_pcinfo.cpp bench_score.cpp bench_address.cpp
    bench_stats.cpp bench_result.cpp bench_options.cpp)
set(BENCH_WINDOWS bench_eucjp_win.cpp bench_screen_win.cpp bench_states_win.cpp bench_script.cpp)

# The JSON library is header-only; only its own folder is put on the cross compiler's path, never the
# build machine's /usr/include.
set(BENCH_JSON_INCLUDE ${CMAKE_BINARY_DIR}/thirdparty)
file(MAKE_DIRECTORY ${BENCH_JSON_INCLUDE})
if(NOT EXISTS ${BENCH_JSON_INCLUDE}/nlohmann)
  file(CREATE_LINK /usr/include/nlohmann ${BENCH_JSON_INCLUDE}/nlohmann SYMBOLIC)
endif()

add_library(hx21bench STATIC ${BENCH_PORTABLE} ${BENCH_WINDOWS})
target_include_directories(hx21bench PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_include_directories(hx21bench PRIVATE ${BENCH_JSON_INCLUDE})
target_link_libraries(hx21bench PUBLIC hx21app_core shell32)

if(TRVX_TESTS)
  # EUC-JP escapes through the platform's own code page, under the Windows emulator.
  trvx_wine_test(bench_eucjp_tests SOURCES tests/bench_eucjp_test.cpp bench_eucjp_win.cpp bench_address.cpp)
  target_include_directories(bench_eucjp_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
  # The whole benchmark, unattended and as the launcher starts it, with its sound recorded.
  add_test(NAME bench_run
           COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/tests/bench_run.sh ${CMAKE_CROSSCOMPILING_EMULATOR} ${TRVX_OUT}
                   ${CMAKE_BINARY_DIR}/bench_run)
  set_tests_properties(bench_run PROPERTIES TIMEOUT 1200)
endif()
