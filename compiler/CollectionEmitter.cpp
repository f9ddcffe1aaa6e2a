#include "CollectionEmitter.h"

#include "Printer.h"

namespace vxbindc {

void ClassCollectionDeclaration(std::ostream& out, const EmitContext& c, const ComplexType& type) {
  Printer p(out);
  Printer::Variables v{{"class", c.plan.NameOf(type)},
                       {"item", c.Q(c.plan.NameOf(type))},
                       {"toXml", kCollectionToXmlDeclaration}};
  p.Print(v, type.pseudo
                 ? "\n// $class$ items, each written in place in the element that holds them.\n"
                 : "\n// $class$ items, each an element of the collection's name.\n");
  p.Print(
      v,
      "class $class$Col : public ::VxVevAva5::CXmlCollection {\n"
      " public:\n"
      "  $class$Col(const unsigned short* elementName, const unsigned short* namespaceUri,\n"
      "      int minOccurs, int maxOccurs)\n"
      "      : ::VxVevAva5::CXmlCollection(elementName, namespaceUri, minOccurs, maxOccurs) {}\n");
  // An abstract type's objects are made elsewhere and appended.
  if (!type.abstract)
    p.Print(v,
            "  // A new item at the end, named after the collection's elements.\n"
            "  ::VxVevAva5::CSmartPtr<$item$> Add();\n");
  p.Print(v,
          "  // Appends `item`, which takes the collection's element name.\n"
          "  void Add($item$* item);\n"
          "  ::VxVevAva5::CSmartPtr<$item$> Item(int index) const {\n"
          "    return static_cast<$item$*>(GetItemAtIndex(index));\n"
          "  }\n"
          "  ::VxVevAva5::CVxIterator<$item$> begin() const {\n"
          "    return ::VxVevAva5::CVxIterator<$item$>(GetHeadNode());\n"
          "  }\n"
          "  ::VxVevAva5::CVxIterator<$item$> end() const {\n"
          "    return ::VxVevAva5::CVxIterator<$item$>();\n"
          "  }\n"
          "\n"
          " protected:\n"
          "$toXml$"
          "  ::VxVevAva5::CXmlElement* FromXml_Int(::VxVevAva5::CXmlElement* element,\n"
          "                                        ::VxVevAva5::CXmlElement* current,\n"
          "                                        const ::VxVevAva5::CXmlSerializationContext& "
          "context,\n"
          "                                        bool optional) override;\n"
          "};\n");
}

void ClassCollectionDefinition(std::ostream& out, const EmitContext& c, const ComplexType& type) {
  Printer p(out);
  Printer::Variables v{{"class", c.plan.NameOf(type)},
                       {"item", c.Q(c.plan.NameOf(type))},
                       {"col", c.plan.NameOf(type) + "Col"},
                       {"factory", c.Q(c.FactoryName(type))}};
  if (!type.abstract)
    p.Print(v,
            "\n"
            "::VxVevAva5::CSmartPtr<$class$> $col$::Add() {\n"
            "  ::VxVevAva5::CSmartPtr<$item$> item = new $item$(GetElementName().c_str());\n"
            "  AppendItem(item);\n"
            "  return item;\n"
            "}\n");
  p.Print(
      v,
      "\n"
      "void $col$::Add($item$* item) {\n"
      "  ::VxVevAva5::CXmlObjectBase::Throw_IfPropertyIsNull(item, GetElementName().c_str());\n"
      "  ::VxVevAva5::CXmlObjectBase::SetElementName(item, GetElementName().c_str());\n"
      "  AppendItem(item);\n"
      "}\n"
      "\n"
      "void $col$::ToXml_Int(::VxVevAva5::CXmlWriter* writer, bool,\n"
      "    const unsigned short* namespaceUri,\n"
      "    const ::VxVevAva5::CXmlSerializationContext& context, bool) const {\n"
      "  WriteItems(writer, namespaceUri, context);\n"
      "}\n"
      "\n");
  if (type.pseudo) {
    // Items of a model group have no element: each reads in place, in the
    // element that holds them, until one takes nothing or the count is full.
    p.Print(
        v,
        "::VxVevAva5::CXmlElement* $col$::FromXml_Int(::VxVevAva5::CXmlElement* element,\n"
        "    ::VxVevAva5::CXmlElement* current,\n"
        "    const ::VxVevAva5::CXmlSerializationContext& context, bool) {\n"
        "  while (current != nullptr && (GetMaxOccurs() < 0 || GetCount() < GetMaxOccurs())) {\n"
        "    ::VxVevAva5::CSmartPtr<$item$> item = new $item$(GetElementName().c_str());\n"
        "    ::VxVevAva5::CXmlElement* next =\n"
        "        ::VxVevAva5::CXmlObjectBase::FromXml_Int(item, element, current, context);\n"
        "    if (next == current) break;\n"
        "    AppendItem(item);\n"
        "    current = next;\n"
        "  }\n"
        "  return current;\n"
        "}\n");
    return;
  }
  p.Print(v,
          "::VxVevAva5::CXmlElement* $col$::FromXml_Int(::VxVevAva5::CXmlElement*,\n"
          "    ::VxVevAva5::CXmlElement* current,\n"
          "    const ::VxVevAva5::CXmlSerializationContext& context, bool) {\n"
          "  while (current != nullptr &&\n"
          "         DoesElementNameMatch(context, current, GetElementName().c_str(),\n"
          "                              GetNamespaceRef().c_str())) {\n");
  // Each item from the substitution factory where xsi:type may choose its
  // class, else of the collection's own.
  if (c.plan.Substitutable(&type))
    p.Print(v,
            "    ::VxVevAva5::CSmartPtr<::VxVevAva5::CXmlObjectBase> item = $factory$(current);\n"
            "    if (item == nullptr)\n"
            "      throw ::VxVevAva5::CVxValidationException(::VxVevAva5::FormatString(\n"
            "          VX_T(\"Failed to find a suitable substitution element for [%s]\"),\n"
            "          GetElementName().c_str()));\n");
  else
    p.Print(v, "    ::VxVevAva5::CSmartPtr<$item$> item = new $item$(GetElementName().c_str());\n");
  p.Print(
      v,
      "    item->SetXsiNillable(IsXsiNillable());  // nil items: when the member is nillable\n"
      "    ReadItem(item, current, context);\n"
      "    current = current->GetNextSiblingElement();\n"
      "  }\n"
      "  return current;\n"
      "}\n");
}

}  // namespace vxbindc
