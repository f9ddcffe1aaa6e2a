# Checks that the library's includes run one way, down its floors
# (docs/architecture.md describes them):
#
#   8 core/          entry points, class factory
#   7 model/         generated classes and their driver, element and attribute infos
#   6 collections/   collection bases, primitive collections, untyped content
#   5 document/ writers/   the tree and its readers; the writers
#   4 conversions/   variant, lexical conversions, whitespace rules, facets
#   3 values/        dates, durations, big integers, decimals, binary data
#   2 base/          errors, smart pointer, shared enums, context, object base
#   1 platform/      strings, formatting, files, time
#
# A file may include files of its own folder and of folders on lower floors;
# folders that share a floor do not include each other. Headers in detail/
# are internal: a public header never includes one (they are not
# installed). Headers of one folder do not include each other in a loop.
#
#   cmake -DROOT=<dir holding vxbind/> -P CheckLayers.cmake
# exits with an error listing every include that breaks the rules.

set(floor_platform 1)
set(floor_base 2)
set(floor_values 3)
set(floor_conversions 4)
set(floor_document 5)
set(floor_writers 5)
set(floor_collections 6)
set(floor_model 7)
set(floor_core 8)

if(NOT ROOT)
  message(FATAL_ERROR "ROOT is not set")
endif()

file(GLOB_RECURSE files RELATIVE ${ROOT} ${ROOT}/vxbind/*.h ${ROOT}/vxbind/*.cpp)
list(SORT files)
set(problems "")
set(headers "")

foreach(file IN LISTS files)
  if(file STREQUAL "vxbind/vxbind.h")
    continue()  # the umbrella header stands above every floor
  endif()
  if(NOT file MATCHES "^vxbind/([^/]+)/(detail/)?[^/]+$")
    string(APPEND problems "${file}: not in a subsystem folder\n")
    continue()
  endif()
  set(folder ${CMAKE_MATCH_1})
  set(is_detail ${CMAKE_MATCH_2})
  if(NOT DEFINED floor_${folder})
    string(APPEND problems "${file}: the folder ${folder}/ has no floor here\n")
    continue()
  endif()
  set(floor ${floor_${folder}})
  if(file MATCHES "\\.h$")
    list(APPEND headers ${file})
  endif()

  file(STRINGS ${ROOT}/${file} lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"vxbind/")
  set(deps_${file} "")
  foreach(line IN LISTS lines)
    string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]+)\".*$" "\\1" target "${line}")
    if(NOT target MATCHES "^vxbind/([^/]+)/(detail/)?[^/]+$")
      string(APPEND problems "${file}: includes ${target}, which is not in a subsystem folder\n")
      continue()
    endif()
    set(to ${CMAKE_MATCH_1})
    set(to_detail ${CMAKE_MATCH_2})
    if(NOT DEFINED floor_${to})
      string(APPEND problems "${file}: includes ${target}, in a folder without floor\n")
      continue()
    endif()
    if(to STREQUAL folder)
      if(target MATCHES "\\.h$")
        list(APPEND deps_${file} ${target})
      endif()
    elseif(NOT floor_${to} LESS floor)
      string(APPEND problems
        "${file}: includes ${target}, on floor ${floor_${to}}, from floor ${floor}\n")
    endif()
    if(to_detail AND NOT is_detail AND file MATCHES "\\.h$")
      string(APPEND problems "${file}: a public header includes the internal ${target}\n")
    endif()
  endforeach()
endforeach()

# Loops among the headers of one folder: depth-first search with colours.
function(visit header path)
  get_property(colour GLOBAL PROPERTY colour_${header})
  if(colour STREQUAL "grey")
    set_property(GLOBAL APPEND_STRING PROPERTY loops "${path} -> ${header}\n")
    return()
  elseif(colour STREQUAL "black")
    return()
  endif()
  set_property(GLOBAL PROPERTY colour_${header} grey)
  foreach(dep IN LISTS deps_${header})
    visit(${dep} "${path} -> ${header}")
  endforeach()
  set_property(GLOBAL PROPERTY colour_${header} black)
endfunction()
foreach(header IN LISTS headers)
  visit(${header} "include loop:")
endforeach()
get_property(loops GLOBAL PROPERTY loops)
string(APPEND problems "${loops}")

if(problems)
  message(FATAL_ERROR "Includes that break the floors:\n${problems}")
endif()
list(LENGTH files count)
message(STATUS "Includes run one way: ${count} files checked")
