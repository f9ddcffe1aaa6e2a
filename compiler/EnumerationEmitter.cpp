#include "EnumerationEmitter.h"

#include <algorithm>
#include <sstream>

#include "Printer.h"

namespace vxbindc {

namespace {

// `line` printed once for each value of the enumeration, with its
// $enumerator$, its $text$ (as a literal) and its $index$.
std::string EachValue(const EmitContext& c, const SimpleType& type, const std::string& line,
                      const Printer::Variables& shared = {}) {
  std::ostringstream text;
  Printer p(text);
  for (size_t i = 0; i < type.enumeration.size(); ++i) {
    Printer::Variables v = shared;
    v["enumerator"] = c.plan.EnumeratorsOf(type)[i];
    v["text"] = Literal(type.enumeration[i]);
    v["index"] = std::to_string(i);
    p.Print(v, line);
  }
  return text.str();
}

}  // namespace

void EnumDeclaration(std::ostream& out, const EmitContext& c, const SimpleType& type) {
  // The enumerators, each on a line of its own, separated by commas.
  std::string enumerators = EachValue(c, type, ",\n  $enumerator$ = $index$");
  if (!enumerators.empty()) enumerators.erase(0, 1);
  Printer(out).Print(
      "\n"
      "// The values of $what$ (line $line$).\n"
      "enum $enum$ {$enumerators$\n"
      "};\n"
      "// Unknown text: CVxInvalidValueException \"Invalid value [%s] for the enumeration\n"
      "// [$enum$]\".\n"
      "int $enum$FromString(const unsigned short* text);\n"
      "// Unknown value: CVxInvalidValueException \"Invalid value [%d] for the\n"
      "// enumeration [$enum$]\".\n"
      "const unsigned short* $enum$ToString(int value);\n",
      "what", type.name.empty() ? "the anonymous type of " + type.hint : "the type " + type.name,
      "line", type.pos.line, "enum", c.plan.NameOf(type), "enumerators", enumerators);
}

void EnumDefinition(std::ostream& out, const EmitContext& c, const SimpleType& type) {
  const std::string& e = c.plan.NameOf(type);
  // The text is handed over as it stands; the type's whitespace rule says
  // which value it is.
  std::string normalize;
  std::string value = "text";
  if (type.whitespace != Whitespace::Preserve) {
    value = "value.c_str()";
    normalize = std::string("  const ::VxVevAva5::String value = ::VxVevAva5::CWhitespaceUtils::") +
                (type.whitespace == Whitespace::Collapse ? "Collapse" : "Replace") +
                "(::VxVevAva5::Utf16::Make(text));\n";
  }
  Printer(out).Print(
      "\n"
      "// -- $enum$ $rule$\n"
      "\n"
      "int $enum$FromString(const unsigned short* text) {\n"
      "  if (text == nullptr) text = VX_T(\"\");\n"
      "$normalize$"
      "$tests$"
      "  throw ::VxVevAva5::CVxInvalidValueException(\n"
      "      ::VxVevAva5::FormatString(VX_T(\"Invalid value [%s] for the enumeration [$enum$]\"), "
      "text));\n"
      "}\n"
      "\n"
      "const unsigned short* $enum$ToString(int value) {\n"
      "  switch (value) {\n"
      "$cases$"
      "  }\n"
      "  throw ::VxVevAva5::CVxInvalidValueException(\n"
      "      ::VxVevAva5::FormatString(VX_T(\"Invalid value [%d] for the enumeration [$enum$]\"), "
      "value));\n"
      "}\n",
      "enum", e, "rule", std::string(70 - std::min<size_t>(60, e.size()), '-'), "normalize",
      normalize, "tests",
      EachValue(c, type, "  if (::VxVevAva5::Utf16::Equal($value$, $text$)) return $enumerator$;\n",
                {{"value", value}}),
      "cases", EachValue(c, type, "    case $enumerator$:\n      return $text$;\n"));
}

void EnumCollectionDeclaration(std::ostream& out, const EmitContext& c, const SimpleType& type) {
  Printer(out).Print(
      "\n"
      "// $enum$ values, each written as its text.\n"
      "class C$enum$Col : public ::VxVevAva5::Generated::CEnumCollection {\n"
      " public:\n"
      "  C$enum$Col(const unsigned short* elementName, const unsigned short* namespaceUri,\n"
      "      int minOccurs, int maxOccurs);\n"
      "  void Add($value$ value);\n"
      "  $value$ Item(int index) const;\n"
      "  int GetCount() const override { return static_cast<int>(m_values.size()); }\n"
      "  void Clear() override { m_values.clear(); }\n"
      "  void Remove(int index) override;\n"
      "\n"
      " protected:\n"
      "$toXml$"
      "  void AddFromString(::VxVevAva5::String text) override;\n"
      "\n"
      " private:\n"
      "  ::std::vector<$value$> m_values;\n"
      "};\n",
      "enum", c.plan.NameOf(type), "value", c.Q(c.plan.NameOf(type)), "toXml",
      kCollectionToXmlDeclaration);
}

void EnumCollectionDefinition(std::ostream& out, const EmitContext& c, const SimpleType& type) {
  const std::string& e = c.plan.NameOf(type);
  Printer(out).Print(
      "\n"
      "$col$::$col$(const unsigned short* elementName, const unsigned short* namespaceUri,\n"
      "    int minOccurs, int maxOccurs)\n"
      "    : ::VxVevAva5::Generated::CEnumCollection(elementName, namespaceUri, minOccurs, "
      "maxOccurs,\n"
      "                                              $rule$) {}\n"
      "\n"
      "void $col$::Add($value$ value) {\n"
      "  $toString$(value);  // refuses a value that is no $enum$\n"
      "  m_values.push_back(value);\n"
      "  FireOnCollectionChange();\n"
      "}\n"
      "\n"
      "$value$ $col$::Item(int index) const {\n"
      "$outOfRange$"
      "  return m_values[static_cast<::std::size_t>(index)];\n"
      "}\n"
      "\n"
      "void $col$::Remove(int index) {\n"
      "$outOfRange$"
      "  m_values.erase(m_values.begin() + index);\n"
      "  FireOnCollectionChange();\n"
      "}\n"
      "\n"
      "$toXmlHead$"
      "  for ($value$ value : m_values) {\n"
      "    writer->WriteStartElement(GetElementName(), namespaceUri);\n"
      "    writer->WriteText(::VxVevAva5::Utf16::Make($toString$(value)));\n"
      "    writer->WriteEndElement();\n"
      "  }\n"
      "}\n"
      "\n"
      "void $col$::AddFromString(::VxVevAva5::String text) {\n"
      "  Add(static_cast<$value$>($fromString$(text.c_str())));\n"
      "}\n",
      "col", "C" + e + "Col", "toXmlHead", CollectionToXmlHead("C" + e + "Col"), "enum", e, "value",
      c.Q(e), "toString", c.Q(e + "ToString"), "fromString", c.Q(e + "FromString"), "rule",
      RuleName(type.whitespace), "outOfRange",
      "  if (index < 0 || index >= GetCount())\n"
      "    throw ::VxVevAva5::CVxInvalidParamException(::VxVevAva5::FormatString(\n"
      "        VX_T(\"Index %d is out of range, use 0 - %d\"), index, GetCount()));\n");
}

}  // namespace vxbindc
