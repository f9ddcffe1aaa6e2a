// The registry of global declarations, and the checks of wildcard content.
#include "vxbind/model/GlobalDeclarations.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "vxbind/base/Exceptions.h"
#include "vxbind/conversions/PrimitiveRestrictions.h"
#include "vxbind/conversions/WhitespaceUtils.h"
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

const char16_t kXsdNamespace[] = u"http://www.w3.org/2001/XMLSchema";

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
    CSmartPtr<CXmlObjectBase> object;
    if (context.GetValidateOnRead()) {
      // Its xsi:type checked, and followed where it names a derived type.
      try {
        CheckGlobalElementType(*element, set);
      } catch (CVxException& e) {
        e.SetPosition(element->GetLineNumber(), element->GetColumnNumber());
        throw CVxValidationException(FormatString(VX_T("Failed to process the element [%s]"),
                                                  element->GetLocalName().c_str()),
                                     std::move(e));
      }
      if (set->createTypedRoot != nullptr) object = set->createTypedRoot(element);
    }
    if (object == nullptr)
      object =
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
    // Validating, an xsi:type of an undeclared element must name a type
    // that is known and not abstract.
    if (context.GetValidateOnRead() && FindXsiType(*element) != nullptr)
      CheckElementType(*element, element->GetLocalName(), String(VX_T("anyType")),
                       String(Units(kXsdNamespace)), 0, set);
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

// -- Validation on read: xsi:type -------------------------------------------------

namespace {


// The built-in types but xs:anyType, each with the built-in type it
// restricts (the list types restrict xs:anySimpleType).
struct BuiltinType {
  const char16_t* name;
  const char16_t* base;
};
constexpr BuiltinType kBuiltinTypes[] = {
    {u"anySimpleType", u"anyType"},
    {u"string", u"anySimpleType"},
    {u"normalizedString", u"string"},
    {u"token", u"normalizedString"},
    {u"language", u"token"},
    {u"Name", u"token"},
    {u"NMTOKEN", u"token"},
    {u"NCName", u"Name"},
    {u"ID", u"NCName"},
    {u"IDREF", u"NCName"},
    {u"ENTITY", u"NCName"},
    {u"NMTOKENS", u"anySimpleType"},
    {u"IDREFS", u"anySimpleType"},
    {u"ENTITIES", u"anySimpleType"},
    {u"decimal", u"anySimpleType"},
    {u"integer", u"decimal"},
    {u"nonPositiveInteger", u"integer"},
    {u"negativeInteger", u"nonPositiveInteger"},
    {u"long", u"integer"},
    {u"int", u"long"},
    {u"short", u"int"},
    {u"byte", u"short"},
    {u"nonNegativeInteger", u"integer"},
    {u"unsignedLong", u"nonNegativeInteger"},
    {u"unsignedInt", u"unsignedLong"},
    {u"unsignedShort", u"unsignedInt"},
    {u"unsignedByte", u"unsignedShort"},
    {u"positiveInteger", u"nonNegativeInteger"},
    {u"float", u"anySimpleType"},
    {u"double", u"anySimpleType"},
    {u"boolean", u"anySimpleType"},
    {u"duration", u"anySimpleType"},
    {u"dateTime", u"anySimpleType"},
    {u"time", u"anySimpleType"},
    {u"date", u"anySimpleType"},
    {u"gYearMonth", u"anySimpleType"},
    {u"gYear", u"anySimpleType"},
    {u"gMonthDay", u"anySimpleType"},
    {u"gDay", u"anySimpleType"},
    {u"gMonth", u"anySimpleType"},
    {u"hexBinary", u"anySimpleType"},
    {u"base64Binary", u"anySimpleType"},
    {u"anyURI", u"anySimpleType"},
    {u"QName", u"anySimpleType"},
    {u"NOTATION", u"anySimpleType"},
};

// One step of a derivation: a type and what it derives from.
struct TypeStep {
  String name;
  String typeNamespace;
  bool found = false;
  bool hasBase = false;  // false: xs:anyType
  String baseName;
  String baseNamespace;
  bool extension = false;
  unsigned block = 0;
  bool abstractType = false;
  bool unionType = false;
};

bool IsXsd(const String& namespaceUri) { return Is(kXsdNamespace, namespaceUri); }

// The type (name, namespaceUri) as the set or the built-ins know it.
TypeStep FindType(const SchemaSetTable* set, const String& name, const String& namespaceUri) {
  TypeStep step;
  step.name = name;
  step.typeNamespace = namespaceUri;
  if (IsXsd(namespaceUri)) {
    if (Is(u"anyType", name)) {
      step.found = true;
      return step;
    }
    for (const BuiltinType& builtin : kBuiltinTypes) {
      if (!Is(builtin.name, name)) continue;
      step.found = step.hasBase = true;
      step.baseName = Units(builtin.base);
      step.baseNamespace = Units(kXsdNamespace);
      return step;
    }
    return step;
  }
  if (set == nullptr || set->types == nullptr) return step;
  for (std::size_t i = 0; i < set->typeCount; ++i) {
    const GlobalType& t = set->types[i];
    if (!Is(t.name, name) || !Is(t.typeNamespace, namespaceUri)) continue;
    step.found = true;
    step.hasBase = t.baseName != nullptr;
    if (step.hasBase) {
      step.baseName = Units(t.baseName);
      step.baseNamespace = Units(t.baseNamespace);
    }
    step.extension = t.extension;
    step.block = t.block;
    step.abstractType = t.abstractType;
    step.unionType = t.unionType;
    return step;
  }
  return step;
}

[[noreturn]] void ThrowTypeNotDefined(const String& written) {
  throw CVxValidationException(FormatString(
      VX_T("The type [%s] named by xsi:type is not defined"), written.c_str()));
}

}  // namespace

const String* FindXsiType(const CXmlElement& element) {
  const std::size_t count = element.GetAttributeCount();
  for (std::size_t a = 0; a < count; ++a) {
    const CXmlAttribute& attribute = element.GetAttributeAt(a);
    if (VxVevAva5::Utf16::Equal(attribute.GetLocalName().c_str(), VX_T("type")) &&
        VxVevAva5::Utf16::Equal(attribute.GetNamespaceURI().c_str(), kXsiNamespace))
      return &attribute.GetValue();
  }
  return nullptr;
}

bool IsAbstractType(const SchemaSetTable* set, const String& name, const String& namespaceUri) {
  return !name.empty() && FindType(set, name, namespaceUri).abstractType;
}

void CheckElementType(const CXmlElement& element, const String& elementName,
                      const String& declaredName, const String& declaredNamespace, unsigned block,
                      const SchemaSetTable* set) {
  const String* written = FindXsiType(element);
  const TypeStep declared = declaredName.empty()
                                ? TypeStep()
                                : FindType(set, declaredName, declaredNamespace);
  if (written == nullptr) {
    if (declared.abstractType)
      throw CVxValidationException(FormatString(
          VX_T("The element [%s] is of the abstract type [%s]: xsi:type must name a type derived "
               "from it"),
          elementName.c_str(), declaredName.c_str()));
    return;
  }
  // The QName: its prefix (none: the default namespace) as bound where the
  // element stands.
  const String value = CWhitespaceUtils::Collapse(*written);
  const std::size_t colon = value.find(u':');
  const String prefix = colon == String::npos ? String() : value.substr(0, colon);
  const String local = colon == String::npos ? value : value.substr(colon + 1);
  String uri;
  if (!element.LookupNamespaceURI(prefix, uri)) {
    if (!prefix.empty()) ThrowTypeNotDefined(value);
    uri.clear();
  }
  TypeStep step = FindType(set, local, uri);
  if (!step.found) ThrowTypeNotDefined(value);
  if (step.abstractType)
    throw CVxValidationException(
        FormatString(VX_T("The type [%s] named by xsi:type on the element [%s] is abstract"),
                     value.c_str(), elementName.c_str()));
  if (local == declaredName && uri == declaredNamespace) return;
  // Every type derives from xs:anyType.
  if (IsXsd(declaredNamespace) && Is(u"anyType", declaredName)) return;
  if (declaredName.empty())
    throw CVxValidationException(FormatString(
        VX_T("The type [%s] named by xsi:type is not derived from the anonymous type of the "
             "element [%s]"),
        value.c_str(), elementName.c_str()));
  // A union takes its member types and those derived from them, which the
  // table does not list: any defined type passes.
  if (declared.unionType) return;
  const unsigned blocking = block | declared.block;
  unsigned blocked = 0;
  // Up the chain to the declared type; a set's table is finite, and a
  // chain longer than it (a cycle) ends too.
  const std::size_t limit = (set != nullptr ? set->typeCount : 0) + 64;
  for (std::size_t steps = 0;; ++steps) {
    if (!step.found || !step.hasBase || steps > limit)
      throw CVxValidationException(FormatString(
          VX_T("The type [%s] named by xsi:type is not derived from the declared type [%s] of "
               "the element [%s]"),
          value.c_str(), declaredName.c_str(), elementName.c_str()));
    const unsigned method = step.extension ? TypeBlock_Extension : TypeBlock_Restriction;
    if (blocked == 0 && (blocking & method) != 0) blocked = method;
    if (step.baseName == declaredName && step.baseNamespace == declaredNamespace) break;
    step = FindType(set, step.baseName, step.baseNamespace);
  }
  if (blocked != 0)
    throw CVxValidationException(FormatString(
        VX_T("The type [%s] named by xsi:type cannot replace the declared type [%s] of the "
             "element [%s]: derivation by [%s] is blocked"),
        value.c_str(), declaredName.c_str(), elementName.c_str(),
        blocked == TypeBlock_Extension ? VX_T("extension") : VX_T("restriction")));
}

void CheckGlobalElementType(const CXmlElement& element, const SchemaSetTable* set) {
  if (set == nullptr || set->elements == nullptr) return;
  for (std::size_t i = 0; i < set->elementCount; ++i) {
    const GlobalElement& e = set->elements[i];
    if (!Is(e.name, element.GetLocalName()) ||
        !Is(e.elementNamespace, element.GetNamespaceURI()))
      continue;
    if (e.typeName != nullptr)
      CheckElementType(element, element.GetLocalName(), Units(e.typeName),
                       Units(e.typeNamespace), e.block, set);
    return;
  }
}

// -- Validation on read: wildcard namespaces -----------------------------------------

bool WildcardAdmits(const String& namespaceUri, const unsigned short* constraint,
                    const unsigned short* targetNamespace) {
  const unsigned short* token = constraint != nullptr ? constraint : VX_T("");
  const unsigned short* target = targetNamespace != nullptr ? targetNamespace : VX_T("");
  for (;;) {
    const unsigned short* end = token;
    while (*end != 0 && *end != u' ') ++end;
    const String word(token, static_cast<std::size_t>(end - token));
    if (word == VX_T("##any")) return true;
    if (word == VX_T("##other")) {
      if (!namespaceUri.empty() && !VxVevAva5::Utf16::Equal(namespaceUri.c_str(), target))
        return true;
    } else if (word == VX_T("##local")) {
      if (namespaceUri.empty()) return true;
    } else if (word == VX_T("##targetNamespace")) {
      if (VxVevAva5::Utf16::Equal(namespaceUri.c_str(), target)) return true;
    } else if (!word.empty() && word == namespaceUri) {
      return true;
    }
    if (*end == 0) return false;
    token = end + 1;
  }
}

void CheckWildcardNamespaces(const CXmlElement* first, const CXmlElement* end,
                             const unsigned short* constraint,
                             const unsigned short* targetNamespace) {
  for (const CXmlElement* element = first; element != nullptr && element != end;
       element = element->GetNextSiblingElement()) {
    if (WildcardAdmits(element->GetNamespaceURI(), constraint, targetNamespace)) continue;
    CVxValidationException inner(FormatString(
        VX_T("The element [%s] in the namespace [%s] is not allowed by the wildcard [%s]"),
        element->GetLocalName().c_str(), element->GetNamespaceURI().c_str(),
        constraint != nullptr ? constraint : VX_T("")));
    inner.SetPosition(element->GetLineNumber(), element->GetColumnNumber());
    throw CVxValidationException(
        FormatString(VX_T("Failed to process the element [%s]"), element->GetLocalName().c_str()),
        std::move(inner));
  }
}

}  // namespace VxVevAva5Data
