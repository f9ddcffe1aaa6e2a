# cmake -DTOOL=<round-trip tool> -DDOCUMENT=<file> -P ExpectRefused.cmake
#
# Passes when the round-trip tool refuses DOCUMENT, a well-formed document
# that breaks its schema: binding it fails, or writing the objects back
# does (a facet is checked there). Any other end fails: the document
# accepted, not readable as XML at all, or no class for its root.
execute_process(COMMAND ${TOOL} --output - ${DOCUMENT}
                RESULT_VARIABLE status OUTPUT_QUIET ERROR_VARIABLE out)
message("${out}")
if(status STREQUAL "0")
  message(FATAL_ERROR "accepted: read and written back without an error")
endif()
if(NOT status STREQUAL "1" OR NOT out MATCHES "(binding failed|writing the objects back failed):")
  message(FATAL_ERROR "failed otherwise than by binding or writing back refusing it "
                      "(exit status ${status})")
endif()
