# What vxbind links: zlib, Expat (libexpat, its UTF-8 build, from
# libexpat1-dev) and PCRE2's 8-bit library (libpcre2-8, from libpcre2-dev,
# for pattern facets); the last two have no CMake package of their own. Used
# by the build, where a missing one stops the configuration, and by the
# package of a static vxbind, whose users' link step needs all three: there a
# missing one makes find_package(vxbind) fail with the reason, as any
# package's missing dependency does.
include(CMakeFindDependencyMacro)
find_dependency(ZLIB)
if(NOT TARGET vxbind::expat)
  find_library(VXBIND_EXPAT_LIBRARY expat)
  if(NOT VXBIND_EXPAT_LIBRARY)
    if(CMAKE_FIND_PACKAGE_NAME STREQUAL "vxbind")
      set(vxbind_FOUND FALSE)
      set(vxbind_NOT_FOUND_MESSAGE "vxbind needs libexpat (Debian: libexpat1-dev)")
      return()
    endif()
    message(FATAL_ERROR "vxbind needs libexpat (Debian: libexpat1-dev)")
  endif()
  add_library(vxbind::expat UNKNOWN IMPORTED)
  set_target_properties(vxbind::expat PROPERTIES IMPORTED_LOCATION ${VXBIND_EXPAT_LIBRARY})
endif()
if(NOT TARGET vxbind::pcre2-8)
  find_library(VXBIND_PCRE2_LIBRARY pcre2-8)
  find_path(VXBIND_PCRE2_INCLUDE_DIR pcre2.h)
  if(NOT VXBIND_PCRE2_LIBRARY OR NOT VXBIND_PCRE2_INCLUDE_DIR)
    if(CMAKE_FIND_PACKAGE_NAME STREQUAL "vxbind")
      set(vxbind_FOUND FALSE)
      set(vxbind_NOT_FOUND_MESSAGE "vxbind needs PCRE2's 8-bit library (Debian: libpcre2-dev)")
      return()
    endif()
    message(FATAL_ERROR "vxbind needs PCRE2's 8-bit library (Debian: libpcre2-dev)")
  endif()
  add_library(vxbind::pcre2-8 UNKNOWN IMPORTED)
  set_target_properties(vxbind::pcre2-8 PROPERTIES IMPORTED_LOCATION ${VXBIND_PCRE2_LIBRARY}
                        INTERFACE_INCLUDE_DIRECTORIES ${VXBIND_PCRE2_INCLUDE_DIR})
endif()
