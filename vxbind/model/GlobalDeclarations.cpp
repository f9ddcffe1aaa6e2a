// The registry of global declarations, and the checks of wildcard content.
#include "vxbind/model/GlobalDeclarations.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "vxbind/base/Exceptions.h"
#include "vxbind/conversions/PrimitiveRestrictions.h"
#include "vxbind/document/XmlDocument.h"
#include "vxbind/platform/Format.h"
#include "vxbind/platform/Utf16.h"

namespace VxVevAva5Data {

using VxVevAva5::CSmartPtr;
using VxVevAva5::CVxException;
using VxVevAva5::CVxValidationException;
using VxVevAva5::CXmlAttribute;
using VxVevAva5::CXmlElement;
using VxVevAva5::FormatString;

namespace {

const unsigned short* Units(const char16_t* text) {
  return reinterpret_cast<const unsigned short*>(text != nullptr ? text : u"");
}

bool Is(const char16_t* text, const String& value) {
  return VxVevAva5::Utf16::Equal(Units(text), value.c_str());
}

const unsigned short kXsiNamespace[] = {'h', 't', 't', 'p', ':', '/', '/', 'w', 'w', 'w', '.',
                                        'w', '3', '.', 'o', 'r', 'g', '/', '2', '0', '0', '1',
                                        '/', 'X', 'M', 'L', 'S', 'c', 'h', 'e', 'm', 'a', '-',
                                        'i', 'n', 's', 't', 'a', 'n', 'c', 'e', 0};

const unsigned short kXmlNamespace[] = {
    'h', 't', 't', 'p', ':', '/', '/', 'w', 'w', 'w', '.', 'w', '3', '.', 'o', 'r', 'g', '/', 'X',
    'M', 'L', '/', '1', '9', '9', '8', '/', 'n', 'a', 'm', 'e', 's', 'p', 'a', 'c', 'e', 0};

// {namespace}name, or name without a namespace.
String Described(const String& localName, const String& namespaceUri) {
  if (namespaceUri.empty()) return localName;
  String text(1, u'{');
  text += namespaceUri;
  text += u'}';
  text += localName;
  return text;
}

// The value `text` of the attribute `name` against `declaration`: its
// enumeration, or its type (the pattern on the text as it stands after the
// whitespace rule, the other facets on the value).
void CheckValue(const GlobalAttribute& declaration, const String& name, const String& text) {
  if (declaration.fromText != nullptr) {
    declaration.fromText(text.c_str());
    return;
  }
  const FacetTable* facets = declaration.facets;
  if (facets != nullptr && facets->pattern != nullptr &&
      declaration.itemType != VxVevAva5::ItemType_string) {
    FacetTable pattern;
    pattern.pattern = facets->pattern;
    VxVariant lexical;
    lexical.SetString(CWhitespaceUtils::ApplyRule(declaration.whitespace, text));
    VxVevAva5::CheckFacets(name.c_str(), lexical, VxVevAva5::ItemType_string,
                           MakeRestrictions(&pattern));
  }
  VxVariant value;
  value.FromString(text, declaration.itemType, declaration.whitespace);
  VxVevAva5::CheckFacets(name.c_str(), value, declaration.itemType, MakeRestrictions(facets));
}

void CheckAttribute(const String& localName, const String& namespaceUri, const String& value,
                    ProcessContents process, const SchemaSetTable* set) {
  // The instance namespace's attributes are the processor's; the xml
  // namespace's are built in.
  if (process == ProcessContents_Skip ||
      VxVevAva5::Utf16::Equal(namespaceUri.c_str(), kXsiNamespace) ||
      VxVevAva5::Utf16::Equal(namespaceUri.c_str(), kXmlNamespace))
    return;
  const GlobalAttribute* declaration = FindGlobalAttribute(set, localName, namespaceUri);
  if (declaration == nullptr) {
    if (process != ProcessContents_Strict) return;
    throw CVxValidationException(FormatString(
        VX_T("No global declaration of the attribute [%s] is known (processContents strict)"),
        Described(localName, namespaceUri).c_str()));
  }
  try {
    CheckValue(*declaration, localName, value);
  } catch (CVxException& e) {
    throw CVxValidationException(
        FormatString(VX_T("The attribute [%s] does not match its global declaration"),
                     Described(localName, namespaceUri).c_str()),
        std::move(e));
  }
}

// One element of wildcard content: bound when declared; otherwise refused
// (strict) or its attributes checked and its children added to `pending`
// (lax).
void CheckElement(CXmlElement* element, ProcessContents process, const SchemaSetTable* set,
                  const CXmlSerializationContext& context, std::vector<CXmlElement*>& pending) {
  if (FindGlobalElement(set, element->GetLocalName(), element->GetNamespaceURI())) {
    CSmartPtr<CXmlObjectBase> object =
        set->createRoot(element->GetLocalName().c_str(), element->GetNamespaceURI().c_str());
    if (object != nullptr)
      CXmlObjectBase::FromXml_Int(object.get(), element, element->GetFirstElement(), context);
    return;
  }
  try {
    if (process == ProcessContents_Strict)
      throw CVxValidationException(FormatString(
          VX_T("No global declaration of the element [%s] is known (processContents strict)"),
          Described(element->GetLocalName(), element->GetNamespaceURI()).c_str()));
    const std::size_t count = element->GetAttributeCount();
    for (std::size_t a = 0; a < count; ++a) {
      const CXmlAttribute& attribute = element->GetAttributeAt(a);
      if (attribute.IsNamespaceAttribute()) continue;
      CheckAttribute(attribute.GetLocalName(), attribute.GetNamespaceURI(), attribute.GetValue(),
                     process, set);
    }
  } catch (CVxException& e) {
    // On the link thrown here: the binding's own wrapper records the line of
    // the wildcard's element on the link it catches.
    e.SetPosition(element->GetLineNumber(), element->GetColumnNumber());
    throw CVxValidationException(
        FormatString(VX_T("Failed to process the element [%s]"), element->GetLocalName().c_str()),
        std::move(e));
  }
  // Pushed last child first, so that they are checked in document order.
  const std::size_t mark = pending.size();
  for (CXmlElement* child = element->GetFirstElement(); child != nullptr;
       child = child->GetNextSiblingElement())
    pending.push_back(child);
  std::reverse(pending.begin() + static_cast<std::ptrdiff_t>(mark), pending.end());
}

}  // namespace

const GlobalAttribute* FindGlobalAttribute(const SchemaSetTable* set, const String& localName,
                                           const String& namespaceUri) {
  if (set == nullptr || set->attributes == nullptr) return nullptr;
  for (std::size_t i = 0; i < set->attributeCount; ++i) {
    const GlobalAttribute& a = set->attributes[i];
    if (Is(a.name, localName) && Is(a.attributeNamespace, namespaceUri)) return &a;
  }
  return nullptr;
}

bool FindGlobalElement(const SchemaSetTable* set, const String& localName,
                       const String& namespaceUri) {
  if (set == nullptr || set->elements == nullptr || set->createRoot == nullptr) return false;
  for (std::size_t i = 0; i < set->elementCount; ++i) {
    const GlobalElement& e = set->elements[i];
    if (Is(e.name, localName) && Is(e.elementNamespace, namespaceUri)) return true;
  }
  return false;
}

void CheckWildcardAttribute(const CXmlAttribute& attribute, ProcessContents process,
                            const SchemaSetTable* set) {
  CheckAttribute(attribute.GetLocalName(), attribute.GetNamespaceURI(), attribute.GetValue(),
                 process, set);
}

void CheckWildcardElements(CXmlElement* first, const CXmlElement* end, ProcessContents process,
                           const SchemaSetTable* set, const CXmlSerializationContext& context) {
  if (process == ProcessContents_Skip) return;
  std::vector<CXmlElement*> pending;
  for (CXmlElement* element = first; element != nullptr && element != end;
       element = element->GetNextSiblingElement()) {
    pending.push_back(element);
    while (!pending.empty()) {
      CXmlElement* next = pending.back();
      pending.pop_back();
      CheckElement(next, process, set, context, pending);
    }
  }
}

}  // namespace VxVevAva5Data
