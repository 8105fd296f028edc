# The results service (native Linux): results-server, its load benchmark, its tests and fuzzers.
# Included by host/CMakeLists.txt. The service reads the viewer's portable tables (PC rows, mode
# descriptions, the score formula), so what it shows and checks is what the benchmark sends.
find_package(PkgConfig REQUIRED)
pkg_check_modules(HTTPLIB REQUIRED IMPORTED_TARGET cpp-httplib)
find_package(SQLite3 REQUIRED)
find_package(PostgreSQL REQUIRED)
find_package(OpenSSL REQUIRED)
find_package(Threads REQUIRED)

set(RESULTS_DIR ${TRVX_SOURCE_ROOT}/services/results)
set(RESULTS_VIEWER_DIR ${TRVX_SOURCE_ROOT}/apps/viewer/bench)
set(RESULTS_GENERATED ${CMAKE_BINARY_DIR}/results_generated)

# The migrations and the style sheet are built into the program.
function(results_embed function output)
  add_custom_command(OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -DOUT=${output} -DFUNCTION=${function} "-DFILES=${ARGN}" -P ${RESULTS_DIR}/embed_text.cmake
    DEPENDS ${ARGN} ${RESULTS_DIR}/embed_text.cmake
    COMMENT "Embedding ${function}"
    VERBATIM)
endfunction()
file(GLOB RESULTS_SQLITE_MIGRATIONS CONFIGURE_DEPENDS ${RESULTS_DIR}/migrations/sqlite/*.sql)
file(GLOB RESULTS_POSTGRES_MIGRATIONS CONFIGURE_DEPENDS ${RESULTS_DIR}/migrations/postgresql/*.sql)
file(GLOB RESULTS_ASSETS CONFIGURE_DEPENDS ${RESULTS_DIR}/web/assets/*)
results_embed(sqlite_migration_files ${RESULTS_GENERATED}/sqlite_migrations.cpp ${RESULTS_SQLITE_MIGRATIONS})
results_embed(postgres_migration_files ${RESULTS_GENERATED}/postgres_migrations.cpp ${RESULTS_POSTGRES_MIGRATIONS})
results_embed(web_asset_files ${RESULTS_GENERATED}/web_assets.cpp ${RESULTS_ASSETS})

# Portable reading, checking and ranking: no I/O, fuzzed and unit-tested with sanitizers.
set(RESULTS_CORE_SOURCES
  ${RESULTS_DIR}/core/run.cpp ${RESULTS_DIR}/core/utf8.cpp ${RESULTS_DIR}/core/fields.cpp
  ${RESULTS_DIR}/core/eucjp.cpp ${RESULTS_DIR}/core/query.cpp ${RESULTS_DIR}/core/run_key.cpp
  ${RESULTS_DIR}/core/address_run.cpp ${RESULTS_DIR}/core/json_run.cpp ${RESULTS_DIR}/core/list_query.cpp
  ${RESULTS_DIR}/core/distribution.cpp
  ${RESULTS_VIEWER_DIR}/bench_text.cpp ${RESULTS_VIEWER_DIR}/bench_modes.cpp ${RESULTS_VIEWER_DIR}/bench_pcinfo.cpp
  ${RESULTS_VIEWER_DIR}/bench_score.cpp)
set(RESULTS_STORE_SOURCES
  ${RESULTS_DIR}/store/sql_store.cpp ${RESULTS_DIR}/store/sqlite_engine.cpp ${RESULTS_DIR}/store/postgres_engine.cpp
  ${RESULTS_DIR}/store/migrations.cpp
  ${RESULTS_GENERATED}/sqlite_migrations.cpp ${RESULTS_GENERATED}/postgres_migrations.cpp)
set(RESULTS_WEB_SOURCES
  ${RESULTS_DIR}/web/html.cpp ${RESULTS_DIR}/web/pages.cpp ${RESULTS_DIR}/web/run_view.cpp ${RESULTS_DIR}/web/svg.cpp
  ${RESULTS_DIR}/web/api.cpp ${RESULTS_GENERATED}/web_assets.cpp)
set(RESULTS_SERVER_SOURCES
  ${RESULTS_DIR}/server/routes.cpp ${RESULTS_DIR}/server/rate_limit.cpp ${RESULTS_DIR}/server/options.cpp)
set(RESULTS_INCLUDES ${RESULTS_DIR} ${RESULTS_DIR}/core ${RESULTS_DIR}/store ${RESULTS_DIR}/web ${RESULTS_DIR}/server
  ${RESULTS_VIEWER_DIR})
set(RESULTS_LIBS PkgConfig::HTTPLIB SQLite::SQLite3 PostgreSQL::PostgreSQL OpenSSL::Crypto Threads::Threads)

# The service's code as a library, plain (the program and its benchmark) and with sanitizers (the
# tests, and the server the tests start).
function(results_library name)
  add_library(${name} STATIC ${RESULTS_CORE_SOURCES} ${RESULTS_STORE_SOURCES} ${RESULTS_WEB_SOURCES}
    ${RESULTS_SERVER_SOURCES})
  target_include_directories(${name} PUBLIC ${RESULTS_INCLUDES})
  target_link_libraries(${name} PUBLIC ${RESULTS_LIBS})
endfunction()
results_library(results_lib)
target_compile_options(results_lib PRIVATE -O2)
results_library(results_lib_checked)
target_compile_options(results_lib_checked PUBLIC ${HOST_SANITIZE})
target_link_options(results_lib_checked PUBLIC ${HOST_SANITIZE})

add_executable(results-server ${RESULTS_DIR}/server/main.cpp)
target_link_libraries(results-server PRIVATE results_lib)
add_executable(results-server-checked ${RESULTS_DIR}/server/main.cpp)
target_link_libraries(results-server-checked PRIVATE results_lib_checked)
set_target_properties(results-server results-server-checked PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})

include(${RESULTS_DIR}/bench/bench.cmake)
include(${RESULTS_DIR}/tests/tests.cmake)
include(${RESULTS_DIR}/fuzz/fuzz.cmake)
