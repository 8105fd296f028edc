# Native side of the text model plug-in: unit tests of its portable lexer, reader and line
# formatting (with sanitizers), and the fuzzer of the reader.
set(TVM_DIR ${TRVX_SOURCE_ROOT}/formats/tvm)
# The engine's number text is portable too: the native runs parse and print reals exactly as the
# plug-in does through TRVX_StringToReal and TRVX_RealToString.
set(TVM_PORTABLE ${TVM_DIR}/tvm_text.cpp ${TVM_DIR}/tvm_read.cpp ${TVM_DIR}/tvm_line.cpp
    ${TVM_DIR}/tests/tvm_native.cpp ${TRVX_SOURCE_ROOT}/engine/number_text.cpp)

host_test(tvm_lexer_tests ${TVM_PORTABLE} ${TVM_DIR}/tests/tvm_lexer_tests.cpp)
target_include_directories(tvm_lexer_tests PRIVATE ${TVM_DIR} ${TRVX_SOURCE_ROOT}/engine)

host_fuzzer(tvm_fuzz ${TVM_PORTABLE} ${TVM_DIR}/fuzz/tvm_fuzz.cpp)
target_include_directories(tvm_fuzz PRIVATE ${TVM_DIR} ${TRVX_SOURCE_ROOT}/engine)
