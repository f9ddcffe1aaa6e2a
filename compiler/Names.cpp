#include "Names.h"

#include <algorithm>
#include <cstdio>

namespace vxbindc {

namespace {

bool IsAsciiLetterOrDigit(unsigned char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

// Splits an XML name into words (see Names.h), non-ASCII characters turned
// into words "U<hex>". Malformed UTF-8 cannot come from the document reader.
std::vector<std::string> Words(const std::string& name) {
  std::vector<std::string> words;
  std::string word;
  for (size_t i = 0; i < name.size();) {
    unsigned char c = static_cast<unsigned char>(name[i]);
    if (IsAsciiLetterOrDigit(c)) {
      word += static_cast<char>(c);
      ++i;
      continue;
    }
    if (!word.empty()) words.push_back(word);
    word.clear();
    if (c < 0x80) {
      ++i;
      continue;
    }
    size_t length = 0;
    unsigned long cp = CodePointAt(name, i, &length);
    char hex[32];
    std::snprintf(hex, sizeof hex, "U%04lX", cp);
    words.push_back(hex);
    i += length;
  }
  if (!word.empty()) words.push_back(word);
  return words;
}

char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }
char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
bool IsUpper(char c) { return c >= 'A' && c <= 'Z'; }
bool IsLower(char c) { return c >= 'a' && c <= 'z'; }

}  // namespace

unsigned long CodePointAt(const std::string& utf8, size_t i, size_t* length) {
  unsigned char c = static_cast<unsigned char>(utf8[i]);
  *length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : 2;
  unsigned long cp = c & (*length == 4 ? 0x07u : *length == 3 ? 0x0Fu : 0x1Fu);
  for (size_t k = 1; k < *length && i + k < utf8.size(); ++k)
    cp = (cp << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3Fu);
  return cp;
}

std::string PascalCase(const std::string& xmlName) {
  std::string result;
  for (std::string word : Words(xmlName)) {
    word[0] = Upper(word[0]);
    result += word;
  }
  return result.empty() ? "_" : result;
}

std::string CamelCase(const std::string& xmlName) {
  std::string name = PascalCase(xmlName);
  // Lower the leading capitals, but leave the last of a run that starts the
  // next word: "USPrice" -> "usPrice".
  size_t run = 0;
  while (run < name.size() && IsUpper(name[run])) ++run;
  if (run > 1 && run < name.size() && IsLower(name[run])) --run;
  if (run == 0 && !name.empty() && IsUpper(name[0])) run = 1;
  for (size_t i = 0; i < run; ++i) name[i] = Lower(name[i]);
  return name;
}

std::string IdentifierPart(const std::string& value) {
  if (value.empty()) return "empty";
  std::string result;
  for (const std::string& word : Words(value)) {
    if (!result.empty()) result += '_';
    result += word;
  }
  return result.empty() ? "_" : result;
}

NameSet::NameSet(const std::vector<std::string>& reserved)
    : m_names(reserved.begin(), reserved.end()) {}

std::string NameSet::Claim(
    const std::string& base,
    const std::function<std::vector<std::string>(const std::string&)>& derive) {
  int& next = m_next[base];
  for (int n = std::max(next, 1);; ++n) {
    std::string stem = n == 1 ? base : base + std::to_string(n);
    std::vector<std::string> names = derive(stem);
    bool free = true;
    for (const std::string& name : names) free = free && !Taken(name);
    if (!free) continue;
    m_names.insert(names.begin(), names.end());
    next = n + 1;
    return stem;
  }
}

std::string NameSet::Claim(const std::string& base) {
  return Claim(base, [](const std::string& stem) { return std::vector<std::string>{stem}; });
}

const std::vector<std::string>& ReservedTypeNames() {
  static const std::vector<std::string> names = {
      // The library's names that generated code uses unqualified.
      "String", "VxVariant", "ItemType", "Utf16", "MsgType", "SchemaType", "EOLType", "XmlEncoding",
      "XmlElementType", "XmlElementGroupType", "FormatString", "CSmartPtr", "CXmlObjectBase",
      "CXmlGeneratedClass", "CXmlCollection", "CXmlCollectionBase", "CXmlTypeCollection",
      "CParentElementInfo", "CElementInfo", "CAttributeInfo", "CAttributeInfoPrimitive",
      "CAttributeInfoEnum", "CPrimitiveRestrictions", "CWhitespaceUtils", "CXmlWriter",
      "CXmlElement", "CXmlDocument", "CXmlAttribute", "CXmlSerializationContext", "CVxIterator",
      "CVxException", "CVxValidationException", "CVxInvalidValueException",
      "CVxInvalidParamException", "CVxInvalidStateException", "CDateTime", "CDateTimeSpan",
      "CDecimal", "CBigInteger", "CBinaryData", "CClassfactoryBase", "CElement", "CElementCol",
      "CAttribute", "CAttributeCol", "CConversions",
      // The primitive collections.
      "ChexBinaryCol", "Cbase64BinaryCol", "Ci1Col", "Ci2Col", "Ci4Col", "Ci8Col", "Cui1Col",
      "Cui2Col", "Cui4Col", "Cui8Col", "Cr4Col", "Cr8Col", "CdurationCol", "CyearMonthCol",
      "CmonthDayCol", "CyearCol", "CmonthCol", "CdayCol", "CdateCol", "CdatetimeCol", "CtimeCol",
      "CstringCol", "CbooleanCol", "CdecimalCol", "CintegerCol", "VxVevAva5", "VxVevAva5Data",
      // The generated code's own.
      "CreateRootObject", "CreateObject", "ClassNumber", "Metadata", "NoFacets", "ValueOf",
      "CUntypedCol", "CheckFixed", "CAttributeInfoAny", "CheckFacets"};
  return names;
}

const std::vector<std::string>& ReservedMemberNames() {
  static const std::vector<std::string> names = {"GetBase",
                                                 "GetNamespace",
                                                 "GetTargetNamespace",
                                                 "GetClassInfo",
                                                 "GetClassElementInfo",
                                                 "GetClassAttributeInfo",
                                                 "GetClassElementInfoCount",
                                                 "GetElementName",
                                                 "SetElementName",
                                                 "IsElementInList",
                                                 "IsNamespaceValid",
                                                 "AccessProperty",
                                                 "ReadProperty",
                                                 "Init",
                                                 "OnEvent",
                                                 "AddRef",
                                                 "Release",
                                                 "ToXml",
                                                 "FromXml",
                                                 "m_elementName",
                                                 "m_chosen"};
  return names;
}

}  // namespace vxbindc
