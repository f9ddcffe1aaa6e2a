// Test helper: a bindable object whose output is a WriterScript, so that one
// script can be written as XML text and as Fast Infoset and the outputs
// compared. Shared with the fuzz targets (no GoogleTest here).
#ifndef VXBIND_TESTS_SUPPORT_SCRIPTOBJECT_H
#define VXBIND_TESTS_SUPPORT_SCRIPTOBJECT_H

#include <cstdio>
#include <string>
#include <utility>

#include "support/WriterScript.h"
#include "vxbind/base/XmlObjectBase.h"
#include "vxbind/values/BinaryData.h"

namespace vxtest {

class CScriptObject : public VxVevAva5::CXmlObjectBase {
 public:
  explicit CScriptObject(WriterScript s = WriterScript()) : script(std::move(s)) {}
  CXmlObjectBase* GetBase() override { return this; }
  String GetNamespace() const override { return String(); }
  WriterScript script;

 protected:
  String GetTargetNamespace() const override { return String(); }
  void ToXml_Int(VxVevAva5::CXmlWriter* writer, bool, const unsigned short*,
                 const VxVevAva5::CXmlSerializationContext&, bool) const override {
    Replay(script, *writer);
  }
  VxVevAva5::CXmlElement* FromXml_Int(VxVevAva5::CXmlElement*, VxVevAva5::CXmlElement*,
                                      const VxVevAva5::CXmlSerializationContext&,
                                      bool) override {
    return nullptr;
  }
};

// "E0 00 00 01": the bytes as upper-case hexadecimal pairs.
inline std::string Hex(const unsigned char* data, size_t length) {
  std::string out;
  char pair[4];
  for (size_t i = 0; i < length; ++i) {
    std::snprintf(pair, sizeof pair, i == 0 ? "%02X" : " %02X", data[i]);
    out += pair;
  }
  return out;
}
inline std::string Hex(const VxVevAva5::CBinaryData& d) { return Hex(d.GetData(), d.GetLength()); }

}  // namespace vxtest

#endif  // VXBIND_TESTS_SUPPORT_SCRIPTOBJECT_H
