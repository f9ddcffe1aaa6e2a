# vxbind_generate(<target> SCHEMAS <file.xsd>... CXX_NAMESPACE <ns> [OUTPUT_DIR <dir>]
#                 [SOURCES <n>])
#
# Compiles the schemas with vxbindc at build time, again whenever a schema or
# vxbindc changes, and makes <target>, a static library of the generated
# classes linked to vxbind::vxbind. Its users include "<schema name>.h" (po.xsd:
# "po.h"). OUTPUT_DIR defaults to <target>_generated in the current binary
# directory. All schemas of one C++ namespace belong in one call: the first
# schema's source holds the namespace's CreateRootObject.
#
# Each schema given makes one header and one source. Schemas reached by
# xs:include or xs:import need not be given: each is generated into the
# files of the first schema given that reaches it, and a change to it makes
# the files again (vxbindc writes a depfile of every schema it read). Give
# one as well to have files of its own for it. Several calls with different
# CXX_NAMESPACEs may be linked into one program.
#
# SOURCES <n> (default 1) writes each schema's source as n files, <name>.cpp
# and <name>-2.cpp ... <name>-<n>.cpp, its classes shared out between them in
# parts of about equal size: a schema of thousands of types then compiles on
# n cores (build with -j<n>), each compiler needing about 1/n of the memory.
#
# It comes with find_package(vxbind), from an install or from a build folder,
# and with add_subdirectory(vxbind), which builds vxbindc only when a
# vxbind_generate() call needs it.
function(vxbind_generate target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "CXX_NAMESPACE;OUTPUT_DIR;SOURCES" "SCHEMAS")
  if(arg_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "vxbind_generate: unexpected arguments ${arg_UNPARSED_ARGUMENTS}")
  endif()
  if(NOT arg_SCHEMAS)
    message(FATAL_ERROR "vxbind_generate: SCHEMAS is missing")
  endif()
  if(NOT arg_CXX_NAMESPACE)
    message(FATAL_ERROR "vxbind_generate: CXX_NAMESPACE is missing")
  endif()
  if(NOT DEFINED arg_SOURCES)
    set(arg_SOURCES 1)
  elseif(NOT arg_SOURCES MATCHES "^[1-9][0-9]*$" OR arg_SOURCES GREATER 1000)
    message(FATAL_ERROR "vxbind_generate: SOURCES must be a number from 1 to 1000, "
                        "not '${arg_SOURCES}'")
  endif()
  if(NOT arg_OUTPUT_DIR)
    set(arg_OUTPUT_DIR ${CMAKE_CURRENT_BINARY_DIR}/${target}_generated)
  endif()
  # The program: built in this tree, or installed with the package.
  if(TARGET vxbindc)
    set(tool vxbindc)
  elseif(TARGET vxbind::vxbindc)
    set(tool vxbind::vxbindc)
  else()
    message(FATAL_ERROR "vxbind_generate: vxbindc is not available "
                        "(build vxbind with VXBIND_BUILD_COMPILER=ON)")
  endif()

  set(schemas "")
  set(headers "")
  set(sources "")
  foreach(schema IN LISTS arg_SCHEMAS)
    get_filename_component(path ${schema} ABSOLUTE BASE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
    get_filename_component(stem ${schema} NAME_WLE)
    list(APPEND schemas ${path})
    list(APPEND headers ${arg_OUTPUT_DIR}/${stem}.h)
    list(APPEND sources ${arg_OUTPUT_DIR}/${stem}.cpp)
    if(arg_SOURCES GREATER 1)
      foreach(part RANGE 2 ${arg_SOURCES})
        list(APPEND sources ${arg_OUTPUT_DIR}/${stem}-${part}.cpp)
      endforeach()
    endif()
  endforeach()

  list(JOIN arg_SCHEMAS " " names)
  set(depfile ${CMAKE_CURRENT_BINARY_DIR}/${target}.vxbindc.d)
  add_custom_command(
    OUTPUT ${headers} ${sources}
    COMMAND ${tool} ${schemas} --output ${arg_OUTPUT_DIR} --cxx-namespace ${arg_CXX_NAMESPACE}
            --depfile ${depfile} --sources ${arg_SOURCES}
    DEPENDS ${schemas} ${tool}
    DEPFILE ${depfile}
    COMMENT "vxbindc: ${names} -> ${arg_CXX_NAMESPACE}"
    VERBATIM)
  add_library(${target} STATIC ${sources} ${headers})
  target_include_directories(${target} PUBLIC $<BUILD_INTERFACE:${arg_OUTPUT_DIR}>)
  target_link_libraries(${target} PUBLIC vxbind::vxbind)
  target_compile_features(${target} PUBLIC cxx_std_17)
  set_target_properties(${target} PROPERTIES POSITION_INDEPENDENT_CODE ON)
endfunction()
