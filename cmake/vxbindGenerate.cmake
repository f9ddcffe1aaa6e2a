# vxbind_generate(<target> SCHEMAS <file.xsd>... CXX_NAMESPACE <ns> [OUTPUT_DIR <dir>])
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
function(vxbind_generate target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "CXX_NAMESPACE;OUTPUT_DIR" "SCHEMAS")
  if(arg_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "vxbind_generate: unexpected arguments ${arg_UNPARSED_ARGUMENTS}")
  endif()
  if(NOT arg_SCHEMAS)
    message(FATAL_ERROR "vxbind_generate: SCHEMAS is missing")
  endif()
  if(NOT arg_CXX_NAMESPACE)
    message(FATAL_ERROR "vxbind_generate: CXX_NAMESPACE is missing")
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
  endforeach()

  list(JOIN arg_SCHEMAS " " names)
  set(depfile ${CMAKE_CURRENT_BINARY_DIR}/${target}.vxbindc.d)
  add_custom_command(
    OUTPUT ${headers} ${sources}
    COMMAND ${tool} ${schemas} --output ${arg_OUTPUT_DIR} --cxx-namespace ${arg_CXX_NAMESPACE}
            --depfile ${depfile}
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
