# What vxbind links: zlib, and Debian's UTF-16 build of Expat (libexpatw,
# from libexpat1-dev), which has no CMake package of its own. Used by the
# build and by the installed package, whose static library needs both at
# the consumer's link step.
include(CMakeFindDependencyMacro)
find_dependency(ZLIB)
if(NOT TARGET vxbind::expatw)
  find_library(VXBIND_EXPATW_LIBRARY expatw)
  if(NOT VXBIND_EXPATW_LIBRARY)
    message(FATAL_ERROR "vxbind needs libexpatw, Expat's UTF-16 build (Debian: libexpat1-dev)")
  endif()
  add_library(vxbind::expatw UNKNOWN IMPORTED)
  set_target_properties(vxbind::expatw PROPERTIES IMPORTED_LOCATION ${VXBIND_EXPATW_LIBRARY})
endif()
