// -----------------------------------------------------------------------------
// File: Version.h
// -----------------------------------------------------------------------------
//
// The version of vxbind: as macros, for the headers a program was compiled
// against (generated code checks them), and as a run-time query, for the
// library it runs with. The numbers here are the only place the version is
// written; CMake reads them from this file.

#ifndef VXBIND_PLATFORM_VERSION_H
#define VXBIND_PLATFORM_VERSION_H

#include "vxbind/platform/Export.h"

#define VXBIND_VERSION_MAJOR 0
#define VXBIND_VERSION_MINOR 2
#define VXBIND_VERSION_PATCH 0
#define VXBIND_VERSION_STRING "0.2.0"

namespace VxVevAva5 {

struct CVersion {
  int Major;
  int Minor;
  int Patch;
};

// The version of the vxbind library the program runs with, which may differ
// from the VXBIND_VERSION_* macros of the headers it was compiled against
// when a shared library was replaced.
VXBIND_EXPORT CVersion GetVersion() noexcept;
// The same as "MAJOR.MINOR.PATCH".
VXBIND_EXPORT const char* GetVersionString() noexcept;

}  // namespace VxVevAva5

#endif  // VXBIND_PLATFORM_VERSION_H
