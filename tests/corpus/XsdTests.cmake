# cmake -DSUITE=<xsdtests> -DVXBINDC=<vxbindc> -DOUT=<dir> -DPARTS=<n> -P XsdTests.cmake
#
# Prepares the W3C XML Schema test suite's run (XsdTests.cpp): finds each
# instance document's schema, compiles every schema (with what it includes
# and imports) into a C++ namespace of its own, and writes
#   OUT/part-1.cpp ... OUT/part-<n>.cpp  the generated sources, shared out
#                                        (each includes several schemas')
#   OUT/dispatch.cpp                     each compiled schema's CreateRootObject
#   OUT/checks.txt                       what to check, one line each:
#     schema <unit> <construct> <valid|invalid> <ok|refused|failed|redefine> <schemas> <why>
#     document <unit> <construct> <valid|invalid> <document>
#   fields separated by tabs, paths relative to SUITE.
# A file is rewritten only when its text changes, so that a new vxbindc
# recompiles only what it generates differently.
#
# The suite's verdicts are in the file names: NIST's SV-IV documents are
# valid and SV-II ones invalid; Sun's *_p, *.vNN and *.v valid and *_n,
# *.nNN and *.n invalid; Boeing's and Microsoft's documents here are all
# valid, and the schemas that no document uses are invalid (see below).
# Schemas that use xs:redefine (outside what vxbind binds) are listed, not
# run.
cmake_minimum_required(VERSION 3.21)
foreach(var SUITE VXBINDC OUT PARTS)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "XsdTests.cmake: -D${var}= is missing")
  endif()
endforeach()

# The suite's construct of a file: NIST by facet, Sun by component and
# property, Microsoft by folder.
function(construct_of path result)
  if(path MATCHES "^nistData/atomic/.*atomic-[A-Za-z0-9]+-([A-Za-z]+)-[0-9]")
    set(c "NIST atomic/${CMAKE_MATCH_1}")
  elseif(path MATCHES "^sunData/combined/")
    set(c "Sun combined")
  elseif(path MATCHES "^sunData/([^/]+)/([^/]+)/")
    set(c "Sun ${CMAKE_MATCH_1}/${CMAKE_MATCH_2}")
  elseif(path MATCHES "^msData/([^/]+)/")
    set(c "MS ${CMAKE_MATCH_1}")
  elseif(path MATCHES "^boeingData/")
    set(c "Boeing ipo")
  else()
    string(REGEX REPLACE "/[^/]*$" "" c "${path}")
  endif()
  set(${result} "${c}" PARENT_SCOPE)
endfunction()

# Writes `text` to `file` unless it holds that already.
function(write_if_changed file text)
  if(EXISTS ${file})
    file(READ ${file} old)
    if(old STREQUAL text)
      return()
    endif()
  endif()
  file(WRITE ${file} "${text}")
endfunction()

set(ws "[ \t\r\n]")
file(GLOB_RECURSE schemas RELATIVE ${SUITE} ${SUITE}/*.xsd)
file(GLOB_RECURSE documents RELATIVE ${SUITE} ${SUITE}/*.xml)
list(SORT schemas)
list(SORT documents)

# Schemas that others include, import or redefine (tested through those),
# and the ones that redefine.
set(reached "")
set(redefining "")
file(GLOB_RECURSE all_schema_files RELATIVE ${SUITE}
     ${SUITE}/*.xsd ${SUITE}/*.xsdmod ${SUITE}/*.imp)
foreach(schema IN LISTS all_schema_files)
  file(READ ${SUITE}/${schema} text)
  get_filename_component(dir ${SUITE}/${schema} DIRECTORY)
  if(text MATCHES "<([A-Za-z_][-.A-Za-z0-9_]*:)?redefine${ws}")
    list(APPEND redefining ${schema})
  endif()
  set(location "schemaLocation${ws}*=${ws}*(\"[^\"]*\"|'[^']*')")
  string(REGEX MATCHALL
         "<([A-Za-z_][-.A-Za-z0-9_]*:)?(include|import|redefine)${ws}[^>]*${location}" refs
         "${text}")
  foreach(ref IN LISTS refs)
    string(REGEX MATCH "schemaLocation${ws}*=${ws}*.(.*).$" _ "${ref}")
    get_filename_component(target ${CMAKE_MATCH_1} ABSOLUTE BASE_DIR ${dir})
    file(RELATIVE_PATH target ${SUITE} ${target})
    list(APPEND reached ${target})
  endforeach()
endforeach()

# Each document's schemas: those its xsi:schemaLocation or
# xsi:noNamespaceSchemaLocation name, else the schema of its own name, else
# the one whose name is the longest start of its name, else the only one
# that starts with its name and that no other schema reaches, else the only
# schema in its folder.
set(units "")       # unit keys: schemas joined with '|'
set(document_rows "")
set(used "")
foreach(document IN LISTS documents)
  file(READ ${SUITE}/${document} text)
  get_filename_component(dir ${SUITE}/${document} DIRECTORY)
  set(locations "")
  if(text MATCHES ":noNamespaceSchemaLocation${ws}*=${ws}*(\"[^\"]*\"|'[^']*')")
    string(REGEX REPLACE "^.(.*).$" "\\1" value "${CMAKE_MATCH_1}")
    list(APPEND locations ${value})
  endif()
  if(text MATCHES ":schemaLocation${ws}*=${ws}*(\"[^\"]*\"|'[^']*')")
    string(REGEX REPLACE "^.(.*).$" "\\1" value "${CMAKE_MATCH_1}")
    string(STRIP "${value}" value)
    string(REGEX REPLACE "${ws}+" ";" pairs "${value}")
    set(odd OFF)  # namespace, location, namespace, location...
    foreach(token IN LISTS pairs)
      if(odd)
        list(APPEND locations ${token})
        set(odd OFF)
      else()
        set(odd ON)
      endif()
    endforeach()
  endif()
  set(mine "")
  foreach(location IN LISTS locations)
    get_filename_component(path ${location} ABSOLUTE BASE_DIR ${dir})
    if(EXISTS ${path} AND NOT IS_DIRECTORY ${path})
      file(RELATIVE_PATH path ${SUITE} ${path})
      list(APPEND mine ${path})
    endif()
  endforeach()
  if(NOT mine)
    string(REGEX REPLACE "(_[pn])?\\.xml$" ".xsd" same ${document})
    file(GLOB here RELATIVE ${SUITE} ${dir}/*.xsd)
    set(longest_length 0)
    list(LENGTH here count)
    # test328873b.xml: test328873.xsd
    get_filename_component(stem ${document} NAME_WE)
    set(longest "")
    foreach(candidate IN LISTS here)
      get_filename_component(name ${candidate} NAME_WE)
      string(FIND "${stem}" "${name}" at)
      string(LENGTH "${name}" length)
      if(at EQUAL 0 AND length GREATER longest_length)
        set(longest ${candidate})
        set(longest_length ${length})
      endif()
    endforeach()
    # ctE019.xml: ctE019_a.xsd, which includes ctE019_b.xsd
    set(named "")
    foreach(candidate IN LISTS here)
      get_filename_component(name ${candidate} NAME_WE)
      if(name MATCHES "^${stem}_" AND NOT candidate IN_LIST reached)
        list(APPEND named ${candidate})
      endif()
    endforeach()
    list(LENGTH named named_count)
    if(EXISTS ${SUITE}/${same})
      set(mine ${same})
    elseif(longest)
      set(mine ${longest})
    elseif(named_count EQUAL 1)
      set(mine ${named})
    elseif(count EQUAL 1)
      set(mine ${here})
    else()
      message(WARNING "XsdTests.cmake: no schema found for ${document}: left out")
      continue()
    endif()
  endif()
  list(REMOVE_DUPLICATES mine)
  list(APPEND used ${mine})
  string(REPLACE ";" "|" key "${mine}")
  list(FIND units "${key}" unit)
  if(unit EQUAL -1)
    list(LENGTH units unit)
    list(APPEND units "${key}")
  endif()
  if(document MATCHES "-SV-II-|_n\\.xml$|\\.n[0-9]*\\.xml$")
    set(verdict invalid)
  else()
    set(verdict valid)
  endif()
  construct_of(${document} construct)
  string(APPEND document_rows "document\tu${unit}\t${construct}\t${verdict}\t${document}\n")
endforeach()
# Schemas no document names and no schema reaches: the suite's schemas that
# break a rule of XML Schema (min above max, a pattern that is no regular
# expression, ...); vxbindc must refuse them.
list(LENGTH units document_units)
foreach(schema IN LISTS schemas)
  if(NOT schema IN_LIST used AND NOT schema IN_LIST reached)
    list(APPEND units ${schema})
  endif()
endforeach()

# Compile each unit: the first schema's construct is the unit's.
file(MAKE_DIRECTORY ${OUT}/gen ${OUT}/staging)
set(schema_rows "")
set(declarations "")
set(table "")
set(part_texts "")
foreach(i RANGE 1 ${PARTS})
  set(part_${i} "// Made by XsdTests.cmake: generated classes of the W3C suite's schemas.\n")
endforeach()
set(unit 0)
set(accepted 0)
foreach(key IN LISTS units)
  string(REPLACE "|" ";" members "${key}")
  list(GET members 0 first)
  construct_of(${first} construct)
  set(paths "")
  set(status ok)
  set(refusal "")
  foreach(member IN LISTS members)
    list(APPEND paths ${SUITE}/${member})
    if(member IN_LIST redefining)
      set(status redefine)
    endif()
  endforeach()
  if(status STREQUAL "ok")
    set(ns XsdTest_u${unit})
    set(staging ${OUT}/staging/u${unit})
    file(REMOVE_RECURSE ${staging})
    execute_process(COMMAND ${VXBINDC} ${paths} --output ${staging} --cxx-namespace ${ns}
                    TIMEOUT 120 RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
    if(rc STREQUAL "0")
      file(GLOB generated RELATIVE ${staging} ${staging}/*)
      file(MAKE_DIRECTORY ${OUT}/gen/u${unit})
      math(EXPR part "${accepted} % ${PARTS} + 1")
      foreach(name IN LISTS generated)
        file(COPY_FILE ${staging}/${name} ${OUT}/gen/u${unit}/${name} ONLY_IF_DIFFERENT)
        if(name MATCHES "\\.cpp$")
          string(APPEND part_${part} "#include \"gen/u${unit}/${name}\"\n")
        endif()
      endforeach()
      string(APPEND declarations "namespace ${ns} {\n"
        "::VxVevAva5::CSmartPtr<::VxVevAva5::CXmlObjectBase> CreateRootObject(\n"
        "    ::VxVevAva5::CXmlElement* element);\n}\n")
      string(APPEND table "    {\"u${unit}\",\n"
        "     static_cast<::vxbind_xsdtests::CreateRoot>(&${ns}::CreateRootObject)},\n")
      math(EXPR accepted "${accepted} + 1")
    elseif(NOT rc STREQUAL "1")
      set(status failed)
      set(refusal "vxbindc ended with ${rc}")
    else()
      set(status refused)
      string(REGEX REPLACE "\n.*" "" refusal "${out}")
      string(REPLACE "${SUITE}/" "" refusal "${refusal}")
      string(REPLACE "\t" " " refusal "${refusal}")
    endif()
  endif()
  if(unit LESS document_units)
    set(verdict valid)
  else()
    set(verdict invalid)
  endif()
  string(APPEND schema_rows
         "schema\tu${unit}\t${construct}\t${verdict}\t${status}\t${key}\t${refusal}\n")
  math(EXPR unit "${unit} + 1")
endforeach()
file(REMOVE_RECURSE ${OUT}/staging)

foreach(i RANGE 1 ${PARTS})
  write_if_changed(${OUT}/part-${i}.cpp "${part_${i}}")
endforeach()
write_if_changed(${OUT}/dispatch.cpp "// Made by XsdTests.cmake: the compiled schemas' root objects.
#include \"XsdTests.h\"

${declarations}
namespace vxbind_xsdtests {

const Unit kUnits[] = {
${table}    {nullptr, nullptr}};

}  // namespace vxbind_xsdtests
")
write_if_changed(${OUT}/checks.txt "${schema_rows}${document_rows}")
list(LENGTH units count)
message(STATUS "W3C suite: vxbindc compiled ${accepted} of ${count} schemas")
