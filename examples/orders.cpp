// Builds a small object graph and prints it as XML.
#include <vxbind/vxbind.h>

#include <cstdio>

int main() {
  using namespace VxVevAva5;
  String s = FormatString(VX_T("vxbind %s"), VX_T("example"));
  std::printf("%s\n", Utf16::ToUtf8(s).c_str());
  return 0;
}
