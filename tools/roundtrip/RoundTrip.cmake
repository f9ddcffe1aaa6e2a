# vxbind_add_roundtrip(<program> GENERATED <target> CXX_NAMESPACE <ns>)
#
# Makes <program>, the round-trip tool (Main.cpp here) built for the classes
# of <target>, a vxbind_generate() target whose C++ namespace is <ns>: it
# reads an instance document into them, writes it back and with --compare
# checks the infoset of the copy. For the project's own tests; not installed.
function(vxbind_add_roundtrip program)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "GENERATED;CXX_NAMESPACE" "")
  if(arg_UNPARSED_ARGUMENTS OR NOT arg_GENERATED OR NOT arg_CXX_NAMESPACE)
    message(FATAL_ERROR "usage: vxbind_add_roundtrip(<program> GENERATED <target> CXX_NAMESPACE <ns>)")
  endif()
  set(dir ${CMAKE_CURRENT_FUNCTION_LIST_DIR})
  # The program's own code is compiled once for all of them.
  if(NOT TARGET vxbind_roundtrip_main)
    add_library(vxbind_roundtrip_main OBJECT ${dir}/Main.cpp ${dir}/InfosetDifference.cpp)
    target_link_libraries(vxbind_roundtrip_main PUBLIC vxbind::vxbind)
    vxbind_warnings(vxbind_roundtrip_main)
  endif()
  # The header of the first schema declares the namespace's CreateRootObject.
  get_target_property(sources ${arg_GENERATED} SOURCES)
  list(FILTER sources INCLUDE REGEX "\\.h$")
  set(schemas "")
  foreach(h IN LISTS sources)
    get_filename_component(stem ${h} NAME_WLE)
    list(APPEND schemas ${stem}.xsd)
  endforeach()
  list(GET sources 0 header)
  get_filename_component(header ${header} NAME)
  list(JOIN schemas ", " from)
  set(glue ${CMAKE_CURRENT_BINARY_DIR}/${program}_classes.cpp)
  file(CONFIGURE OUTPUT ${glue} CONTENT [[
// Made by vxbind_add_roundtrip(): the classes of @arg_GENERATED@ for the round-trip tool.
#include "@header@"
#include "RoundTrip.h"

namespace vxbind_tools {

VxVevAva5::CSmartPtr<VxVevAva5::CXmlObjectBase> CreateRootObject(VxVevAva5::CXmlElement* root) {
  return @arg_CXX_NAMESPACE@::CreateRootObject(root);
}

const char kGeneratedFrom[] = "@arg_CXX_NAMESPACE@ (@from@)";

}  // namespace vxbind_tools
]] @ONLY)
  add_executable(${program} ${glue})
  target_include_directories(${program} PRIVATE ${dir})
  target_link_libraries(${program} PRIVATE vxbind_roundtrip_main ${arg_GENERATED})
  vxbind_warnings(${program})
endfunction()
