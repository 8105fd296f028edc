# libFuzzer targets of the service's parsers; scripts/fuzz.sh runs each with its seeds from
# fuzz/seeds/<name>/. Included by services/results/host.cmake.
foreach(fuzzer results_address_fuzz results_result_json_fuzz results_list_query_fuzz)
  string(REGEX REPLACE "^results_" "" source ${fuzzer})
  host_fuzzer(${fuzzer} ${RESULTS_DIR}/fuzz/${source}.cpp ${RESULTS_CORE_SOURCES})
  target_include_directories(${fuzzer} PRIVATE ${RESULTS_INCLUDES})
  target_link_libraries(${fuzzer} PRIVATE OpenSSL::Crypto)
endforeach()
