# cmake -DTOOL=<round-trip tool> -DDOCUMENT=<file> [-DLINE=<line>] -P ExpectRefused.cmake
#
# Passes when the round-trip tool, reading DOCUMENT (a well-formed document
# that breaks its schema) with validation on, refuses it while binding, at
# an input line and column, which it prints; with LINE, that line. Any
# other end fails: the document accepted when read (whether or not writing
# it back refuses it), refused without a position or at another line, not
# readable as XML at all, or no class for its root.
execute_process(COMMAND ${TOOL} --validate --output - ${DOCUMENT}
                RESULT_VARIABLE status OUTPUT_QUIET ERROR_VARIABLE out)
message("${out}")
if(status STREQUAL "0")
  message(FATAL_ERROR "accepted: read with validation on and written back without an error")
endif()
if(out MATCHES "writing the objects back failed:")
  message(FATAL_ERROR "accepted when read with validation on: only writing it back refuses it")
endif()
if(out MATCHES ": binding failed:")
  message(FATAL_ERROR "accepted when read with validation on, but refused when read without it")
endif()
if(NOT status STREQUAL "1" OR NOT out MATCHES "binding with validation failed:")
  message(FATAL_ERROR "failed otherwise than by reading with validation refusing it "
                      "(exit status ${status})")
endif()
if(NOT out MATCHES "\n\\(input line ([0-9]+), column ([0-9]+)\\)")
  message(FATAL_ERROR "refused without an input line and column")
endif()
set(line ${CMAKE_MATCH_1})
set(column ${CMAKE_MATCH_2})
if(DEFINED LINE AND NOT line EQUAL LINE)
  message(FATAL_ERROR "refused at line ${line}, column ${column}; the fault is at line ${LINE}")
endif()
message("refused when read with validation on, at line ${line}, column ${column}")
