// Test helper: a hand-written bindable class that writes and reads itself
// through the protected protocol the way generated classes do.
#ifndef VXBIND_TESTS_SUPPORT_NODES_H
#define VXBIND_TESTS_SUPPORT_NODES_H

#include <string>
#include <vector>

#include "support/Text.h"
#include "vxbind/base/XmlObjectBase.h"
#include "vxbind/document/XmlDocument.h"
#include "vxbind/writers/XmlWriter.h"

namespace vxtest {

// Writes <name root="yes|no">children text</name> in its namespace (the
// root also declares it as the default). Reads back the root's name, text
// and "root" attribute, and the texts of its <item> children; an item
// "fail" throws "bad item" after the items before it were kept.
class CTestNode : public VxVevAva5::CXmlObjectBase {
 public:
  using String = VxVevAva5::String;
  // `destroyed`, when given, counts destructions.
  explicit CTestNode(const char* name, const char* ns = "", int* destroyed = nullptr)
      : m_ns(U(ns)), m_destroyed(destroyed) {
    SetElementName(U(name).c_str());
  }
  ~CTestNode() override {
    if (m_destroyed != nullptr) ++*m_destroyed;
  }

  CXmlObjectBase* GetBase() override { return this; }
  String GetNamespace() const override { return m_ns; }
  std::string Name() const { return ToUtf8(GetElementName()); }
  bool Matches(const VxVevAva5::CXmlSerializationContext& c, const VxVevAva5::CXmlElement* e,
               const char* name, const char* ns) const {
    return DoesElementNameMatch(c, e, U(name).c_str(), U(ns).c_str());
  }

  // Written; `leaveOpen` forgets the end tag, `fail` throws after the start tag.
  std::vector<VxVevAva5::CSmartPtr<CTestNode>> children;
  String text;
  bool leaveOpen = false;
  bool fail = false;
  // Read.
  String rootAttribute;
  std::vector<std::string> items;
  int bindCount = 0;

  using CXmlObjectBase::Choice_CollectionChanged;
  using CXmlObjectBase::Choice_SelectElement;
  using CXmlObjectBase::Choice_SetElementValid;
  using CXmlObjectBase::Throw_IfElementNameDiffers;
  using CXmlObjectBase::Throw_IfPropertyIsNull;

 protected:
  String GetTargetNamespace() const override { return m_ns; }
  void ToXml_Int(VxVevAva5::CXmlWriter* writer, bool root, const unsigned short* namespaceUri,
                 const VxVevAva5::CXmlSerializationContext& context, bool) const override {
    if (root && !m_ns.empty()) writer->SetDefaultNamespace(namespaceUri);
    writer->WriteStartElement(GetElementName(), namespaceUri);
    writer->WriteAttribute(U("root"), String(), root ? U("yes") : U("no"));
    if (fail) throw VxVevAva5::CVxValidationException(U("node failed"));
    for (const auto& child : children)
      CXmlObjectBase::ToXml_Int(child, writer, false, namespaceUri, context, false);
    writer->WriteText(text);
    if (!leaveOpen) writer->WriteEndElement();
  }
  VxVevAva5::CXmlElement* FromXml_Int(VxVevAva5::CXmlElement* element,
                                      VxVevAva5::CXmlElement* current,
                                      const VxVevAva5::CXmlSerializationContext& context,
                                      bool) override {
    ++bindCount;
    SetElementName(element->GetLocalName().c_str());
    text = element->GetText();
    rootAttribute = element->GetAttribute(U("root"), String());
    for (; current != nullptr; current = current->GetNextSiblingElement()) {
      if (!DoesElementNameMatch(context, current, VX_T("item"), m_ns.c_str())) continue;
      if (current->GetText() == U("fail"))
        throw VxVevAva5::CVxInvalidValueException(U("bad item"));
      items.push_back(ToUtf8(current->GetText()));
    }
    return nullptr;
  }

 private:
  String m_ns;
  int* m_destroyed;
};


// Counts the events it is told about, keeps the last source, and notes any
// event that is not a bare collection change.
class CListener : public VxVevAva5::CXmlObjectBase {
 public:
  using String = VxVevAva5::String;
  CXmlObjectBase* GetBase() override { return this; }
  String GetNamespace() const override { return String(); }
  int events = 0;
  CXmlObjectBase* lastSource = nullptr;
  bool wrongKind = false;

 protected:
  String GetTargetNamespace() const override { return String(); }
  void OnEvent(CXmlObjectBase* source, MsgType type, void* data) override {
    ++events;
    lastSource = source;
    if (type != MsgType_CollectionChanged || data != nullptr) wrongKind = true;
  }
  void ToXml_Int(VxVevAva5::CXmlWriter*, bool, const unsigned short*,
                 const VxVevAva5::CXmlSerializationContext&, bool) const override {}
  VxVevAva5::CXmlElement* FromXml_Int(VxVevAva5::CXmlElement*, VxVevAva5::CXmlElement* current,
                                      const VxVevAva5::CXmlSerializationContext&, bool) override {
    return current;
  }
};

}  // namespace vxtest

#endif  // VXBIND_TESTS_SUPPORT_NODES_H
