// A consumer of the packaged library: includes the umbrella header and calls
// into the shared library.
#include <vxbind/vxbind.h>

int main() {
  using namespace VxVevAva5;
  String s = FormatString(VX_T("%s=%d"), VX_T("answer"), 42);
  return s == String(VX_T("answer=42")) ? 0 : 1;
}
