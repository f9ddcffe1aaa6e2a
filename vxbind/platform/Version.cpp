#include "vxbind/platform/Version.h"

namespace VxVevAva5 {

CVersion GetVersion() noexcept {
  return CVersion{VXBIND_VERSION_MAJOR, VXBIND_VERSION_MINOR, VXBIND_VERSION_PATCH};
}

const char* GetVersionString() noexcept { return VXBIND_VERSION_STRING; }

}  // namespace VxVevAva5
