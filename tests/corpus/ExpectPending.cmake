# cmake -DSET=<set> -DBUILD_DIR=<dir> -DTARGET=<tool> -P ExpectPending.cmake
#
# The test of a set on VXBIND_CORPUS_PENDING (CMakeLists.txt here): builds
# its round-trip tool and passes while that fails, saying why (vxbindc's
# refusal, or the first compiler error). Once the tool builds, the test
# fails: the set belongs with the others.
execute_process(COMMAND ${CMAKE_COMMAND} --build ${BUILD_DIR} --target ${TARGET}
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(status STREQUAL "0")
  message(FATAL_ERROR "${SET} builds now: take it off VXBIND_CORPUS_PENDING "
                      "(tests/corpus/CMakeLists.txt) to test its documents")
endif()
string(REGEX MATCHALL "[^\n]*(: unsupported |: error: )[^\n]*" why "${out}")
if(NOT why)
  message(FATAL_ERROR "${SET}: the build failed without a refusal or a compiler error:\n${out}")
endif()
list(GET why 0 first)
message("${SET} is pending: ${first}")
