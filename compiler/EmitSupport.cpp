#include "EmitSupport.h"

#include <cstdio>
#include <sstream>

#include "Names.h"
#include "Printer.h"

namespace vxbindc {

const char kCollectionToXmlDeclaration[] =
    "  void ToXml_Int(::VxVevAva5::CXmlWriter* writer, bool root,\n"
    "                 const unsigned short* namespaceUri,\n"
    "                 const ::VxVevAva5::CXmlSerializationContext& context,\n"
    "                 bool optional) const override;\n";

std::string CollectionToXmlHead(const std::string& col) {
  std::ostringstream head;
  Printer(head).Print(
      "void $col$::ToXml_Int(::VxVevAva5::CXmlWriter* writer, bool,\n"
      "    const unsigned short* namespaceUri,\n"
      "    const ::VxVevAva5::CXmlSerializationContext& context, bool) const {\n"
      "  ValidateCount(context);\n",
      "col", col);
  return head.str();
}

std::string Literal(const std::string& utf8) {
  std::string result = "VX_T(\"";
  for (size_t i = 0; i < utf8.size();) {
    unsigned char c = static_cast<unsigned char>(utf8[i]);
    if (c < 0x80) {
      if (c == '?' && i > 0 && utf8[i - 1] == '?') {
        result += "\\?";  // no trigraph, even for a compiler that reads them
      } else if (c == '\\' || c == '"') {
        result += '\\';
        result += static_cast<char>(c);
      } else if (c < 0x20 || c == 0x7F) {
        char octal[8];
        std::snprintf(octal, sizeof octal, "\\%03o", c);
        result += octal;
      } else {
        result += static_cast<char>(c);
      }
      ++i;
      continue;
    }
    size_t length = 0;
    unsigned long cp = CodePointAt(utf8, i, &length);
    char escape[32];
    if (cp > 0xFFFF)
      std::snprintf(escape, sizeof escape, "\\U%08lX", cp);
    else
      std::snprintf(escape, sizeof escape, "\\u%04lX", cp);
    result += escape;
    i += length;
  }
  return result + "\")";
}

const char kGlobalDeclarations[] = "kGlobalDeclarations";

const char* RuleName(Whitespace whitespace) {
  switch (whitespace) {
    case Whitespace::Preserve:
      return "::VxVevAva5::Generated::kPreserve";
    case Whitespace::Replace:
      return "::VxVevAva5::Generated::kReplace";
    case Whitespace::Collapse:
      break;
  }
  return "::VxVevAva5::Generated::kCollapse";
}

}  // namespace vxbindc
