#include "ClassEmitter.h"

#include <algorithm>
#include <iterator>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <utility>
#include <vector>

#include "Builtins.h"
#include "IdentityEmitter.h"
#include "Printer.h"

namespace vxbindc {

namespace {

// `text` under a whitespace rule, as the library applies it.
std::string Normalized(const std::string& text, Whitespace whitespace) {
  if (whitespace == Whitespace::Preserve) return text;
  std::string result;
  for (char c : text) result += (c == '\t' || c == '\n' || c == '\r') ? ' ' : c;
  if (whitespace == Whitespace::Replace) return result;
  std::string collapsed;
  for (char c : result) {
    if (c == ' ' && (collapsed.empty() || collapsed.back() == ' ')) continue;
    collapsed += c;
  }
  if (!collapsed.empty() && collapsed.back() == ' ') collapsed.pop_back();
  return collapsed;
}

// A C++ literal of the integer `value` (a valid lexical form) for a member
// of the item type; empty for other item types, and for the 64-bit values
// beyond what a plain literal says.
std::string IntegerLiteral(const std::string& itemType, const std::string& value) {
  static const char* const kSmall[] = {"i1", "i2", "i4", "ui1", "ui2", "ui4", "i8", "ui8"};
  if (std::find(std::begin(kSmall), std::end(kSmall), itemType) == std::end(kSmall)) return "";
  std::string digits = value;
  bool negative = !digits.empty() && digits[0] == '-';
  if (!digits.empty() && (digits[0] == '-' || digits[0] == '+')) digits.erase(0, 1);
  size_t first = digits.find_first_not_of('0');
  digits = first == std::string::npos ? "0" : digits.substr(first);
  if (digits.size() > 18) return "";  // beyond 64-bit signed without care
  std::string literal = (negative && digits != "0" ? "-" : "") + digits;
  if (itemType == "i1") return "static_cast<char>(" + literal + ")";
  if (itemType == "ui4") return literal + "u";
  if (itemType == "i8") return "INT64_C(" + literal + ")";
  if (itemType == "ui8") return "UINT64_C(" + literal + ")";
  return literal;
}

// How values of one item type live in a generated class.
struct ValueKind {
  const char* itemType;
  const char* cppType;
  bool byReference;     // setters take const T&
  const char* variant;  // VxVariant::Set<variant> / Get<variant>
};

const ValueKind kValueKinds[] = {
    {"hexBinary", "::VxVevAva5::CBinaryData", true, "HexBinary"},
    {"base64Binary", "::VxVevAva5::CBinaryData", true, "Base64Binary"},
    {"i1", "char", false, "I1"},
    {"i2", "short", false, "I2"},
    {"i4", "::std::int32_t", false, "I4"},
    {"i8", "::std::int64_t", false, "I8"},
    {"ui1", "unsigned char", false, "UI1"},
    {"ui2", "unsigned short", false, "UI2"},
    {"ui4", "::std::uint32_t", false, "UI4"},
    {"ui8", "::std::uint64_t", false, "UI8"},
    {"r4", "float", false, "R4"},
    {"r8", "double", false, "R8"},
    {"duration", "::VxVevAva5::CDateTimeSpan", true, "Duration"},
    {"yearMonth", "::VxVevAva5::CDateTime", true, "YearMonth"},
    {"monthDay", "::VxVevAva5::CDateTime", true, "MonthDay"},
    {"year", "unsigned short", false, "Year"},
    {"month", "unsigned char", false, "Month"},
    {"day", "unsigned char", false, "Day"},
    {"date", "::VxVevAva5::CDateTime", true, "Date"},
    {"datetime", "::VxVevAva5::CDateTime", true, "DateTime"},
    {"time", "::VxVevAva5::CDateTime", true, "Time"},
    {"string", "::VxVevAva5::String", false, "String"},
    {"boolean", "bool", false, "Boolean"},
    {"decimal", "::VxVevAva5::CDecimal", true, "Decimal"},
    {"integer", "::VxVevAva5::CBigInteger", true, "Integer"},
    {"QName", "::VxVevAva5::CQName", true, "QName"},
    {"QNameList", "::VxVevAva5::CQNameList", true, "QNameList"},
};

const ValueKind& KindOf(const std::string& itemType) {
  for (const ValueKind& kind : kValueKinds)
    if (itemType == kind.itemType) return kind;
  return kValueKinds[21];  // string; the built-in table names no other type
}

// `return function(arguments);` at six columns, the arguments on a line of
// their own when the whole does not fit in 100 columns.
std::string ReturnCall(const std::string& function, const std::string& arguments) {
  std::string line = "      return " + function + "(" + arguments + ");\n";
  if (line.size() <= 101) return line;
  return "      return " + function + "(\n          " + arguments + ");\n";
}

// The occurrence of a member in its table row.
const char* Occurs(Card card) {
  return card == Card::Mnd   ? "::VxVevAva5Data::MemberOccurs_Mandatory"
         : card == Card::Opt ? "::VxVevAva5Data::MemberOccurs_Optional"
                             : "::VxVevAva5Data::MemberOccurs_Repeated";
}

// `utf8` as a char16_t literal, for the constant tables (VX_T is no
// constant expression).
std::string U16(const std::string& utf8) {
  const std::string literal = Literal(utf8);  // VX_T("...")
  return "u" + literal.substr(5, literal.size() - 6);
}

// Each place of `call` in [begin, end) outside quotes and outside the
// parentheses opened there, given to `at`.
template <class At>
void ForEachOutside(const std::string& call, size_t begin, size_t end, At at) {
  int depth = 0;
  bool quoted = false;
  for (size_t i = begin; i < end; ++i) {
    char c = call[i];
    if (quoted) {
      if (c == '\\')
        ++i;
      else if (c == '"')
        quoted = false;
    } else if (c == '"') {
      quoted = true;
    } else if (c == '(') {
      ++depth;
    } else if (c == ')') {
      --depth;
    } else if (depth == 0) {
      at(i);
    }
  }
}

// Where the links of a call chain ("a().b(x).c(y)") begin: each '.' after a
// ')' outside parentheses and quotes; none for a plain call.
std::vector<size_t> ChainLinks(const std::string& call) {
  std::vector<size_t> links;
  ForEachOutside(call, 0, call.size(), [&](size_t i) {
    if (call[i] == '.' && i > 0 && call[i - 1] == ')') links.push_back(i);
  });
  return links;
}

// `call` ("new X(a, b, c)") laid out from column `column` within 100
// columns, one of them kept for the comma or semicolon that follows: its
// arguments are broken between lines where they do not fit, continuation
// lines aligned after the opening parenthesis.
std::string Wrap(const std::string& call, size_t column) {
  std::vector<size_t> links = ChainLinks(call);
  if (!links.empty() && column + call.size() > 99) {
    // A builder's chain: one link a line, under the first.
    std::string result = Wrap(call.substr(0, links[0]), column);
    links.push_back(call.size());
    for (size_t i = 0; i + 1 < links.size(); ++i)
      result += "\n" + std::string(column + 4, ' ') +
                Wrap(call.substr(links[i], links[i + 1] - links[i]), column + 4);
    return result;
  }
  // The first parenthesis outside quotes: a string literal is no call.
  size_t open = std::string::npos;
  bool quoted = false;
  for (size_t i = 0; i < call.size() && open == std::string::npos; ++i) {
    if (quoted && call[i] == '\\')
      ++i;
    else if (call[i] == '"')
      quoted = !quoted;
    else if (!quoted && call[i] == '(')
      open = i;
  }
  const size_t limit = 99;
  if (column + call.size() <= limit || open == std::string::npos) return call;
  std::vector<std::string> arguments;
  size_t start = open + 1;
  ForEachOutside(call, open + 1, call.size() - 1, [&](size_t i) {
    if (call[i] != ',') return;
    arguments.push_back(call.substr(start, i - start));
    start = i + 2;  // after ", "
  });
  arguments.push_back(call.substr(start, call.size() - 1 - start));
  std::string indent(column + open + 1, ' ');
  std::string result = call.substr(0, open + 1);
  size_t width = column + result.size();
  for (size_t i = 0; i < arguments.size(); ++i) {
    std::string piece = arguments[i] + (i + 1 < arguments.size() ? "," : ")");
    if (i > 0 && width + 1 + piece.size() > limit) {
      result += "\n" + indent;
      width = indent.size();
    } else if (i > 0) {
      result += " ";
      ++width;
    }
    // An argument that is a call of its own (the restrictions) and still
    // does not fit is laid out the same way, one level down.
    if (width + piece.size() > limit && arguments[i].find('(') != std::string::npos &&
        arguments[i].compare(0, 5, "VX_T(") != 0)
      piece = Wrap(arguments[i], width) + piece.substr(arguments[i].size());
    result += piece;
    size_t lastBreak = piece.rfind('\n');
    width = lastBreak == std::string::npos ? width + piece.size() : piece.size() - lastBreak - 1;
  }
  return result;
}

// The namespace a new untyped element of a wildcard takes: the first one
// its constraint names, or one it admits. ##other in a schema without a
// target namespace admits no namespace known here: the library's own
// placeholder then stands in.
std::string FirstNamespace(const std::string& restriction, const std::string& targetNamespace) {
  std::string first = restriction.substr(0, restriction.find(' '));
  if (first == "##any" || first == "##targetNamespace") return targetNamespace;
  if (first == "##other") return targetNamespace.empty() ? "DefaultNamespace" : "";
  if (first == "##local") return "";
  return first;
}

// A text for a comment line: no line breaks.
std::string CommentText(const std::string& text) {
  std::string result;
  for (char c : text) result += static_cast<unsigned char>(c) < 0x20 ? '?' : c;
  return result;
}

// Comment lines of `text` at `indent`, filled to 100 columns; a word longer
// than a line stands on a line of its own.
void FillComment(std::ostream& out, const std::string& indent, const std::string& text) {
  const size_t start = indent.size() + 2;
  size_t width = start;
  out << indent << "//";
  std::istringstream words(CommentText(text));
  for (std::string word; words >> word;) {
    // A line that ends in a backslash (or the trigraph of one) would go on
    // into the next.
    if (word.back() == '\\' || (word.size() > 2 && word.compare(word.size() - 3, 3, "?\?/") == 0))
      word += '.';
    if (width > start && width + 1 + word.size() > 100) {
      out << "\n" << indent << "//";
      width = start;
    }
    out << " " << word;
    width += 1 + word.size();
  }
  out << "\n";
}

// How a member's comment names a simple type: xs:NAME for a built-in one,
// its name for another named one, and for an anonymous one its named base
// and the facets it adds ("xs:positiveInteger, below 100").
std::string DescribeType(const SimpleType& type) {
  auto named = [](const SimpleType& t) {
    return FindBuiltin(t.name) == &t ? "xs:" + t.name : t.name;
  };
  if (!type.name.empty()) return named(type);
  const SimpleType* base = type.baseType;
  while (base != nullptr && base->name.empty()) base = base->baseType;  // nested anonymous bases
  // A restriction of a list or union is named after its base.
  const bool made = !type.memberTypes.empty();
  std::string text = made && type.variety == Variety::List    ? std::string("a list")
                     : made && type.variety == Variety::Union ? std::string("a union")
                     : base != nullptr                        ? named(*base)
                                                              : std::string("text");
  const Facets& f = type.ownFacets;
  auto quoted = [](const std::string& v) { return "\"" + CommentText(v) + "\""; };
  if (f.pattern) text += ", matching " + quoted(*f.pattern);
  if (f.length >= 0) text += ", " + std::to_string(f.length) + " long";
  if (f.minLength >= 0) text += ", at least " + std::to_string(f.minLength) + " long";
  if (f.maxLength >= 0) text += ", at most " + std::to_string(f.maxLength) + " long";
  if (f.minInclusive) text += ", at least " + CommentText(*f.minInclusive);
  if (f.minExclusive) text += ", above " + CommentText(*f.minExclusive);
  if (f.maxInclusive) text += ", at most " + CommentText(*f.maxInclusive);
  if (f.maxExclusive) text += ", below " + CommentText(*f.maxExclusive);
  if (!type.ownEnumeration.empty())
    text += ", one of " + std::to_string(type.ownEnumeration.size()) + " values";
  return text;
}

// Writes the classes of one plan; a definition also notes what it uses.
class ClassWriter {
 public:
  ClassWriter(const EmitContext& c, ClassUses* uses) : m_c(c), m_p(c.plan), m_uses(uses) {}

  void ClassDeclaration(std::ostream& out, const ClassPlan& plan);
  void ClassDefinition(std::ostream& out, const ClassPlan& plan);

 private:
  void Accessors(std::ostream& out, const Member& m);
  void ForeignAccessors(std::ostream& out, const ClassPlan& plan);
  // A repeated member of a class with an element of its own can be
  // streamed: its handle's declaration (in Accessors) and definition.
  static bool Streamable(const Member& m) {
    return m.card == Card::Col && m.kind == Kind::Cls && !m.untyped && m.cls != nullptr &&
           !m.cls->pseudo;
  }
  void StreamedMembers(std::ostream& out, const ClassPlan& plan);
  // The class's metadata as constant tables (vxbind/model/MetadataTable.h),
  // in the namespace <stem>Metadata; a member's row, with `facets` the name
  // of its facet table ("" for none).
  void MetadataTables(std::ostream& out, const ClassPlan& plan);
  std::string ElementRow(const ClassPlan& plan, const Member& m, const std::string& facets);
  std::string AttributeRow(const Member& m, const std::string& facets);
  // The row without what AttributeRow wraps it in.
  std::string PresentAttributeRow(const Member& m, const std::string& facets);
  std::string FacetTable(const Facets& facets);
  // The constant tables of a list or union type and of the types it is
  // made of (vxbind/model/SimpleTypeTable.h), each printed once per class
  // before the first that points to it; returns the name of `type`'s.
  std::string SimpleTypeTables(Printer& p, const SimpleType& type);
  // The table of a member's list or union type, "" for another type.
  std::string TypeTableOf(const Member& m) const;
  std::string Restrictions(const Facets& facets);
  // The check of the VxVariant `typed` against the facets of `type`, at
  // `indent`, its failure naming `element` (a literal).
  void CheckFacets(Printer& p, const std::string& indent, const SimpleType& type,
                   const std::string& element);
  std::string FacetsBuilder(const Facets& facets);
  std::string CollectionConstruction(const Member& m);
  std::string InitialValue(const Member& m, const std::string& text);
  // The statement that gives a value member its initial value (`initial`,
  // a default or fixed text, or none); a text through the runtime's
  // AssignText or clear(), out of line, instead of a String assignment.
  std::string Reset(const Member& m, const std::optional<std::string>& initial);
  // Untyped members, and elements with a default or fixed value.
  std::string UntypedCollection(const ClassPlan& plan, const Member& m);
  std::string Untyped(const ClassPlan& plan, const Member& m, bool made);
  std::string UntypedCheck(const ClassPlan& plan, const Member& m, const std::string& element);
  void UntypedDefinitions(std::ostream& out, const ClassPlan& plan, const Member& m);
  void UntypedAccessCase(std::ostream& out, const ClassPlan& plan, const Member& m);
  void ConvertedAccessCase(std::ostream& out, const ClassPlan& plan, const Member& m);
  void FixedAttributeAccessCase(std::ostream& out, const Member& m);
  std::string FixedText(const Member& m, const std::string& fixed);
  // The target namespace that goes with an untyped member's restriction:
  // the schema's for a wildcard; for an element, its own namespace (the
  // restriction is then ##targetNamespace or ##local: that namespace only).
  static std::string UntypedTarget(const ClassPlan& plan, const Member& m) {
    return m.anyName ? m.wildcardTarget.value_or(plan.schema->targetNamespace) : m.ns;
  }
  // A new value of the member's type. Not "{}" for the classes: CDateTime
  // has assignments from other types too, and {} would pick one of those.
  std::string Cleared(const Member& m) const {
    bool object = m.kind == Kind::Enum || m.simple->itemType == "string" ||
                  KindOf(m.simple->itemType).byReference;
    return object ? ValueType(m) + "()" : "{}";
  }
  void AccessCase(std::ostream& out, const ClassPlan& plan, const Member& m);
  void InheritedAccess(std::ostream& out, const ClassPlan& plan);
  // A named type derived from a type that some member (or global element)
  // takes by xsi:type: its objects may stand under that member's elements,
  // and name their type with xsi:type wherever it is not the element's
  // declared type. (Types that no such member can hold are written without
  // xsi:type.)
  bool HasBaseClasses(const ComplexType& type) const { return m_p.polymorphic.count(&type) != 0; }
  // A class whose content is an xs:all group (a model group's too), and
  // whose base's is not.
  static bool OwnsAllGroupOrder(const ComplexType& type) {
    auto all = [](const ComplexType* t) { return t->group && *t->group == GroupKind::All; };
    if (!all(&type)) return false;
    for (const ComplexType* b = type.base; b; b = b->base)
      if (all(b)) return false;
    return true;
  }
  // Whether the class declares nil flags of its own (and so AccessNil).
  static bool HasOwnNilFlags(const ClassPlan& plan) {
    for (const Member& m : plan.members)
      if (m.HasNilFlag() && !m.inherited) return true;
    return false;
  }
  // Nil: the accessors' declarations and definitions, and AccessNil.
  void NilAccessors(std::ostream& out, const Member& m);
  void NilDefinitions(std::ostream& out, const ClassPlan& plan, const Member& m);
  void AccessNil(std::ostream& out, const ClassPlan& plan);

  // A name of this namespace as code in a class's scope names it: qualified,
  // so that no member of a base class (the runtime's or another generated
  // one) can hide it.
  std::string Q(const std::string& name) const { return m_c.Q(name); }

  // The types below are named for any scope, qualified.
  std::string ValueType(const Member& m) const {
    return m.kind == Kind::Enum ? Q(m_p.NameOf(m.simple->enumOwner))
                                : KindOf(m.simple->itemType).cppType;
  }
  std::string ArgType(const Member& m) const {
    if (m.kind == Kind::Enum) return Q(m_p.NameOf(m.simple->enumOwner));
    const ValueKind& kind = KindOf(m.simple->itemType);
    if (std::string(kind.itemType) == "string") return "const unsigned short*";
    return kind.byReference ? std::string("const ") + kind.cppType + "&" : kind.cppType;
  }
  std::string CollectionType(const Member& m) const {
    if (m.untyped) return m.attribute ? "::VxVevAva5::CAttributeCol" : "::VxVevAva5::CElementCol";
    if (m.kind == Kind::Prim) return "::VxVevAva5::C" + m.simple->itemType + "Col";
    return Q(m_c.OwnCollection(m));
  }

  std::string FactoryName(const ComplexType& type) const { return m_c.FactoryName(type); }

  const EmitContext& m_c;
  const Plan& m_p;
  ClassUses* m_uses;                  // null for a declaration
  const ClassPlan* m_plan = nullptr;  // the class being defined
  // The simple type tables of the class being defined, by type.
  std::map<const SimpleType*, std::string> m_typeTables;
};

void ClassWriter::ClassDeclaration(std::ostream& out, const ClassPlan& plan) {
  const ComplexType& type = *plan.type;
  const std::string& c = m_p.NameOf(type);
  std::ostringstream comment;
  if (type.pseudo && !type.name.empty())
    comment << "The model group " << type.name << ", without an element of its own";
  else if (type.pseudo)
    comment << "A model group in " << m_p.NameOf(type.enclosing)
            << ", without an element of its own";
  else if (type.name.empty() && type.owner->rootClass == &type)
    comment << "The global element " << type.owner->name
            << " of a simple type, as a document's root";
  else if (type.name.empty())
    comment << "The anonymous type of the element " << type.owner->name;
  else
    comment << "The complex type " << type.name;
  comment << " (line " << type.pos.line << ")";
  if (type.group) {
    comment << ": "
            << (*type.group == GroupKind::Sequence ? "a sequence"
                : *type.group == GroupKind::Choice ? "a choice of one"
                                                   : "all, in any order");
    comment << " of";
    const char* separator = " ";
    for (const Member& m : plan.Described())
      if (!m.attribute && !m.text)
        comment << std::exchange(separator, ", ") << (m.anyName ? "any" : m.xmlName)
                << (m.card == Card::Col                   ? (m.minOccurs == 0 ? "*" : "+")
                    : m.card == Card::Opt && !plan.choice ? "?"
                                                          : "");
  }
  if (type.text && type.mixed)
    comment << "; mixed, its text kept in place around the children";
  else if (type.text)
    comment << ": text of the type " << DescribeType(*type.text)
            << (type.attributes.empty() && !type.anyAttribute ? "" : ", with attributes");
  comment << ".";
  if (type.base)
    comment << " Derived from " << m_p.NameOf(type.base) << " by "
            << (type.derivation == ComplexType::Derivation::Extension ? "extension" : "restriction")
            << (HasBaseClasses(type) ? "; written under another type's element with xsi:type."
                                     : ".");
  if (type.abstract) comment << " Abstract: objects are of the types derived from it.";
  out << "\n";
  FillComment(out, "", comment.str());
  const std::string& documentation =
      !type.documentation.empty() || !type.owner ? type.documentation : type.owner->documentation;
  if (!documentation.empty()) {
    out << "//\n";
    FillComment(out, "", documentation);
  }
  Printer p(out);
  Printer::Variables v{
      {"class", c},
      {"base", type.base ? m_p.NameOf(type.base) : "::VxVevAva5::CXmlGeneratedClass"},
      {"element", Literal(m_p.DefaultElementOf(type))},
      {"ns", Literal(plan.schema->targetNamespace)}};
  const char* const constructor =
      "  explicit $class$(const unsigned short* elementName = $element$);\n";
  p.Print(v, "class $class$ : public $base$ {\n public:\n");
  if (!type.abstract) p.Print(v, constructor);
  p.Print(v,
          "  ::VxVevAva5::CXmlObjectBase* GetBase() override { return this; }\n"
          "  ::VxVevAva5::String GetNamespace() const override { return $ns$; }\n"
          "  void AccessProperty(int propertyIndex, bool read,\n"
          "                      ::VxVevAva5::VxVariant& value) override;\n"
          "  ::VxVevAva5Data::CParentElementInfo* GetClassInfo() const override;\n"
          "  ::VxVevAva5Data::CElementInfo** GetClassElementInfo() const override;\n"
          "  ::VxVevAva5Data::CAttributeInfo** GetClassAttributeInfo() const override;\n");
  if (HasOwnNilFlags(plan))
    p.Print(v, "  bool AccessNil(int propertyIndex, const bool* nil) override;\n");
  for (const Member& m : plan.members)
    if (!m.inherited) Accessors(out, m);
  p.Print(v, "\n protected:\n");
  if (type.abstract) p.Print(v, constructor);
  p.Print(v,
          "  ~$class$() override;\n"
          "  ::VxVevAva5::String GetTargetNamespace() const override { return $ns$; }\n"
          "  void Init() override;\n");
  if (!plan.choiceCollections.empty())
    p.Print(v,
            "  void OnEvent(::VxVevAva5::CXmlObjectBase* source,\n"
            "               ::VxVevAva5::CXmlObjectBase::MsgType type, void* data) override;\n");
  // An all group keeps the order its members came in (its base's, when that
  // is an all group too).
  const bool ownsAllOrder = OwnsAllGroupOrder(type);
  if (ownsAllOrder)
    p.Print(v,
            "  ::VxVevAva5::CAllGroupOrder* GetAllGroupOrder() override {\n"
            "    return &m_allGroupOrder;\n"
            "  }\n");
  p.Print(v, "\n private:\n");
  for (const Member& m : plan.members) {
    if (m.inherited) continue;
    std::string held = m.card == Card::Col   ? CollectionType(m)
                       : m.kind == Kind::Cls ? Q(m_p.NameOf(m.cls))
                       : m.untyped           ? "::VxVevAva5::CElement"
                                             : "";
    if (!held.empty())
      p.Print("  ::VxVevAva5::CSmartPtr<$type$> $field$;\n", "type", held, "field", m.field);
    else
      p.Print("  $type$ $field${};\n", "type", ValueType(m), "field", m.field);
    if (m.HasValidFlag()) p.Print("  bool $valid$ = false;\n", "valid", m.valid);
    if (m.HasNilFlag()) p.Print("  bool $nil$ = false;\n", "nil", m.nil);
    if (m.HasEmptyFlag())
      p.Print("  bool $empty$ = false;  // read empty: written empty while the default\n",
              "empty", m.empty);
    if (m.KeepsPresence()) p.Print("  bool $valid$ = true;\n", "valid", m.valid);
  }
  if (plan.choice && plan.ownsChoice)
    p.Print(v, "  ::VxVevAva5::String m_chosen;  // the element chosen, \"\" for none\n");
  if (ownsAllOrder)
    p.Print(v,
            "  ::VxVevAva5::CAllGroupOrder m_allGroupOrder;  // as read, when not the schema's\n");
  p.Print(v, "};\n");
}

void ClassWriter::Accessors(std::ostream& out, const Member& m) {
  const std::string& s = m.stem;
  // The member's name, XSD type and occurrence.
  std::string what = m.text      ? std::string("the text")
                     : m.anyName ? std::string(m.attribute ? "any attributes" : "any elements") +
                                       " (namespaces " + m.restriction + ")"
                                 : (m.attribute ? "@" : "") + m.xmlName;
  if (m.untyped && !m.anyName)
    what += ": untyped";
  else if (m.kind == Kind::Cls && !m.cls->pseudo)
    what += ": " + (m.cls->name.empty() ? "its anonymous type" : m.cls->name);
  else if (m.kind == Kind::Cls)
    what += ": a model group";
  else if (!m.untyped)
    what += ": " + DescribeType(*m.simple);
  if (m.card == Card::Col)
    what += ", " + std::to_string(m.minOccurs) + " to " +
            (m.maxOccurs < 0 ? std::string("unbounded") : std::to_string(m.maxOccurs));
  else if (m.Fixed())
    what += ", fixed";
  else if (m.attribute && m.decl->defaultValue)
    what += ", optional with a default";
  else if (m.card == Card::Opt)
    what += ", optional";
  out << "\n";
  FillComment(out, "  ", what);
  const std::string& documentation = m.attribute && m.decl ? m.decl->documentation
                                     : m.element           ? m.element->documentation
                                                           : "";
  if (!documentation.empty()) FillComment(out, "  ", documentation);
  NilAccessors(out, m);
  // The getter of what a member holds by reference, declared here and
  // defined in the source when another header declares its type.
  Printer p(out);
  Printer::Variables v{{"stem", s}, {"field", m.field}, {"valid", m.valid}};
  auto getter = [&](const std::string& held) {
    v["held"] = held;
    if (m.foreign)
      p.Print(v, "  ::VxVevAva5::CSmartPtr<$held$> Get$stem$() const;\n");
    else
      p.Print(v, "  ::VxVevAva5::CSmartPtr<$held$> Get$stem$() const { return $field$; }\n");
  };
  if (m.card == Card::Col) {
    getter(CollectionType(m));
    if (Streamable(m)) {
      v["item"] = Q(m_p.NameOf(m.cls));
      p.Print(v,
              "  // The member for the streaming entry points (vxbind/core/Streaming.h), which\n"
              "  // read or write its items one at a time.\n"
              "  static ::VxVevAva5::CStreamedMember<$item$> Stream$stem$();\n");
    }
    return;
  }
  if (m.untyped) {
    getter("::VxVevAva5::CElement");
    p.Print(v, m.anyName ? "  // Refuses an element of a namespace the wildcard does not admit.\n"
                         : "  // The element takes the member's name and namespace.\n");
    p.Print(v, "  void Set$stem$(::VxVevAva5::CElement* value);\n");
    if (m.card == Card::Opt) p.Print(v, "  void Remove$stem$() { Set$stem$(nullptr); }\n");
    return;
  }
  if (m.kind == Kind::Cls) {
    getter(Q(m_p.NameOf(m.cls)));
    p.Print(v, "  void Set$stem$($held$* value);\n");
    if (m.card == Card::Opt) p.Print(v, "  void Remove$stem$() { Set$stem$(nullptr); }\n");
    return;
  }
  v["value"] = ValueType(m);
  v["argument"] = ArgType(m);
  if (m.HasValidFlag()) p.Print(v, "  bool IsValid$stem$() const { return $valid$; }\n");
  p.Print(v, "  $value$ Get$stem$() const { return $field$; }\n");
  if (m.Fixed()) return;
  if (m.card != Card::Mnd) {
    p.Print(v, "  void Set$stem$($argument$ value);\n  void Remove$stem$();\n");
    return;
  }
  // A required value's setter is defined in the class, on one line if it fits.
  bool string = m.kind == Kind::Prim && m.simple->itemType == "string";
  v["assign"] = m.field + " = " + (string ? "::VxVevAva5::Utf16::Make(value)" : "value") + ";" +
                (m.HasNilFlag() ? " " + m.nil + " = false;" : "");
  std::string setter = "  void Set" + s + "(" + ArgType(m) + " value) {";
  p.Print(v, setter.size() + v["assign"].size() + 3 <= 100
                 ? "  void Set$stem$($argument$ value) { $assign$ }\n"
                 : "  void Set$stem$($argument$ value) {\n    $assign$\n  }\n");
}

std::string ClassWriter::Restrictions(const Facets& f) {
  if (f.Empty()) return "::VxVevAva5::Generated::NoFacets()";
  return FacetsBuilder(f);
}

void ClassWriter::CheckFacets(Printer& p, const std::string& indent, const SimpleType& type,
                              const std::string& element) {
  p.Print(
      "$indent$$facets$;\n"
      "$indent$::VxVevAva5::CheckFacets($element$, typed, ::VxVevAva5::ItemType_$item$, "
      "facets);\n",
      "indent", indent, "facets",
      Wrap("static const ::VxVevAva5::CPrimitiveRestrictions facets = " + Restrictions(type.facets),
           indent.size()),
      "element", element, "item", type.itemType);
}

// The facets in force as calls of a chain after `chain`, the texts as
// `literal` writes them: start.Pattern(...).MinInclusive(...)...
std::string FacetCalls(std::string chain, const Facets& f,
                       std::string (*literal)(const std::string&)) {
  auto text = [&](const char* field, const std::optional<std::string>& v) {
    if (v) chain += std::string(".") + field + "(" + literal(*v) + ")";
  };
  auto number = [&](const char* field, int v) {
    if (v >= 0) chain += std::string(".") + field + "(" + std::to_string(v) + ")";
  };
  text("Pattern", f.pattern);
  number("Length", f.length);
  number("MinLength", f.minLength);
  number("MaxLength", f.maxLength);
  text("MinInclusive", f.minInclusive);
  text("MaxInclusive", f.maxInclusive);
  text("MinExclusive", f.minExclusive);
  text("MaxExclusive", f.maxExclusive);
  number("TotalDigits", f.totalDigits);
  number("FractionDigits", f.fractionDigits);
  return chain;
}

// The facets as the named-field builder of the runtime's generated-code
// support: Facets().Pattern(VX_T("..."))..., only those in force.
std::string ClassWriter::FacetsBuilder(const Facets& f) {
  return FacetCalls("::VxVevAva5::Generated::Facets()", f, Literal);
}

// The facets as a constant table: FacetTable().Pattern(u"...")..., only those
// in force.
std::string ClassWriter::FacetTable(const Facets& f) {
  return FacetCalls("::VxVevAva5Data::FacetTable()", f, U16);
}

// Whether values of `type` are lists or unions, held as their text and
// checked against a simple type table when read with validation.
bool IsListOrUnion(const SimpleType* type) {
  return type != nullptr && type->variety != Variety::Atomic;
}

// The list or union that `type` restricts (itself when it is one).
const SimpleType& VarietyRoot(const SimpleType& type) {
  const SimpleType* root = &type;
  while (root->memberTypes.empty() && root->baseType != nullptr) root = root->baseType;
  return *root;
}

// A list's or union's facets along its restrictions, down to the list or
// union itself: the pattern in force, the lengths (counting items) and the
// enumeration of the nearest step that has them.
Facets OwnVarietyFacets(const SimpleType& type, std::vector<std::string>& enumeration) {
  Facets f;
  f.pattern = type.facets.pattern;
  const SimpleType& root = VarietyRoot(type);
  for (const SimpleType* t = &type;; t = t->baseType) {
    if (f.length < 0) f.length = t->ownFacets.length;
    if (f.minLength < 0) f.minLength = t->ownFacets.minLength;
    if (f.maxLength < 0) f.maxLength = t->ownFacets.maxLength;
    if (enumeration.empty()) enumeration = t->ownEnumeration;
    if (t == &root || t->baseType == nullptr) break;
  }
  return f;
}

std::string ClassWriter::TypeTableOf(const Member& m) const {
  const SimpleType* type = m.text && m.restrictedText ? m.restrictedText : m.simple;
  if (m.untyped || m.converted || m.kind != Kind::Prim || !IsListOrUnion(type)) return "";
  auto found = m_typeTables.find(type);
  return found == m_typeTables.end() ? std::string() : found->second;
}

std::string ClassWriter::SimpleTypeTables(Printer& p, const SimpleType& top) {
  // Depth first without recursion, each type's table after those of its
  // item or member types; a type met again on its own path is circular.
  struct Visit {
    const SimpleType* type;
    bool expanded;
  };
  std::vector<Visit> stack{{&top, false}};
  std::set<const SimpleType*> onPath;
  auto parts = [](const SimpleType& t) {
    std::vector<const SimpleType*> found;
    if (t.variety == Variety::Atomic) return found;
    for (const TypeUse& use : VarietyRoot(t).memberTypes) {
      if (use.simple == nullptr)
        throw CompileError(t.pos, "the item or member type of '" + DescribeType(t) +
                                      "' is not a simple type");
      found.push_back(use.simple);
    }
    if (found.empty())
      throw CompileError(t.pos, "the list or union type '" + DescribeType(t) +
                                    "' has no item or member type");
    return found;
  };
  while (!stack.empty()) {
    Visit visit = stack.back();
    const SimpleType& t = *visit.type;
    if (m_typeTables.count(&t)) {
      stack.pop_back();
      continue;
    }
    if (!visit.expanded) {
      if (!onPath.insert(&t).second)
        throw CompileError(t.pos, "the list or union type '" + DescribeType(t) +
                                      "' is made of itself");
      stack.back().expanded = true;
      for (const SimpleType* part : parts(t))
        if (!m_typeTables.count(part)) stack.push_back({part, false});
      continue;
    }
    stack.pop_back();
    onPath.erase(&t);
    const std::string n = std::to_string(m_typeTables.size());
    const std::string name = "kType" + n;
    std::vector<std::string> enumeration;
    Facets facets;
    if (t.variety == Variety::Atomic) {
      facets = t.facets;
      enumeration = t.enumeration;
    } else {
      facets = OwnVarietyFacets(t, enumeration);
    }
    std::string facetArgument;
    if (!facets.Empty()) {
      p.Print("constexpr ::VxVevAva5Data::FacetTable kTypeFacets$n$ =\n    $table$;\n", "n", n,
              "table", Wrap(FacetTable(facets), 4));
      facetArgument = ", &kTypeFacets" + n;
    }
    const std::string described = U16(DescribeType(t));
    std::string table;
    if (t.variety == Variety::Atomic) {
      table = "::VxVevAva5Data::AtomicType(" + described + ", ::VxVevAva5::ItemType_" +
              t.itemType + ", " + RuleName(t.whitespace) + facetArgument + ")";
    } else if (t.variety == Variety::List) {
      table = "::VxVevAva5Data::ListType(" + described + ", &" +
              m_typeTables.at(parts(t).front()) + facetArgument + ")";
    } else {
      std::string members;
      for (const SimpleType* part : parts(t))
        members += (members.empty() ? "&" : ", &") + m_typeTables.at(part);
      p.Print("constexpr const ::VxVevAva5Data::SimpleTypeTable* kTypeMembers$n$[] = {$m$};\n",
              "n", n, "m", Wrap(members, 4));
      table = "::VxVevAva5Data::UnionType(" + described + ", kTypeMembers" + n + ", " +
              std::to_string(parts(t).size()) + facetArgument + ")";
    }
    if (!enumeration.empty()) {
      std::string values;
      for (const std::string& value : enumeration)
        values += (values.empty() ? "" : ", ") + U16(value);
      p.Print("constexpr const char16_t* kTypeValues$n$[] = {$v$};\n", "n", n, "v",
              Wrap(values, 4));
      table += ".Enumeration(kTypeValues" + n + ", " + std::to_string(enumeration.size()) + ")";
    }
    p.Print("constexpr ::VxVevAva5Data::SimpleTypeTable $name$ =\n    $table$;\n", "name", name,
            "table", Wrap(table, 4));
    m_typeTables[&t] = name;
  }
  return m_typeTables.at(&top);
}

// A wildcard's processContents and the set's declarations that it checks
// against (`declarations`, qualified) as the table rows say them: empty for
// skip, which the builders take when they are not given.
std::string ProcessArgument(const Member& m, const std::string& declarations) {
  if (m.process == Process::Skip) return "";
  return std::string(m.process == Process::Lax ? "::VxVevAva5Data::ProcessContents_Lax"
                                               : "::VxVevAva5Data::ProcessContents_Strict") +
         ", &" + declarations;
}

std::string ClassWriter::ElementRow(const ClassPlan& plan, const Member& m,
                                    const std::string& facets) {
  const std::string head =
      std::string(Occurs(m.card)) + ", " + U16(m.xmlName) + ", " + U16(m.ns) + ", " + Q(m.property);
  if (m.untyped) {
    const std::string process = ProcessArgument(m, Q(kGlobalDeclarations));
    if (m.card == Card::Col && process.empty())
      return "::VxVevAva5Data::UntypedElement(" + head + ")";
    if (m.card == Card::Col)
      return "::VxVevAva5Data::UntypedElement(" + head + ", nullptr, nullptr, " + process + ")";
    return "::VxVevAva5Data::UntypedElement(" + head + ", " + U16(m.restriction) + ", " +
           U16(UntypedTarget(plan, m)) + (process.empty() ? "" : ", " + process) + ")";
  }
  if (m.converted) {
    // The text as it stands; AccessProperty converts and checks it.
    return "::VxVevAva5Data::PrimitiveElement(" + head +
           ", ::VxVevAva5::ItemType_string, ::VxVevAva5::Generated::kPreserve)";
  }
  const char* memberType = m.cls && m.cls->pseudo ? "::VxVevAva5Data::XmlElementType_PseudoElement"
                                                  : "::VxVevAva5Data::XmlElementType_Element";
  // The declared type of an element of a class, against which its objects
  // decide whether to name theirs with xsi:type.
  const std::string declared =
      m.kind != Kind::Cls || m.cls->pseudo
          ? std::string()
          : ".DeclaredType(" + U16(m.cls->name) + ", " +
                U16(m_p.schemaOf.count(m.cls) ? m_p.schemaOf.at(m.cls)->targetNamespace
                                              : plan.schema->targetNamespace) +
                ")";
  if (m.substitution) {
    if (m.card == Card::Col)
      return "::VxVevAva5Data::SubstitutionElement(" + head + ", " + memberType + ")" + declared;
    return "::VxVevAva5Data::SubstitutionElement(" + head + ", " + memberType + ", " +
           FactoryName(*m.cls) + ")" + declared;
  }
  switch (m.kind) {
    case Kind::Cls: {
      if (m.card == Card::Col)
        return "::VxVevAva5Data::ClassElement(" + head + ", " + memberType + ")" + declared;
      m_uses->createObject = true;
      m_uses->made.insert(m.cls);
      // Of another header: a member of its own, or one inherited from a base
      // there (whose metadata this class restates).
      bool foreign = m_p.unitOfComplex.at(m.cls) != &UnitOf(*plan.schema);
      if (foreign && std::find(m_uses->foreignClasses.begin(), m_uses->foreignClasses.end(),
                               m.cls) == m_uses->foreignClasses.end())
        m_uses->foreignClasses.push_back(m.cls);
      // Required content: a model group that may match nothing must not
      // fail when nothing is there.
      bool required = !m.cls->pseudo || !m_p.emptiable.count(m.cls);
      return "::VxVevAva5Data::ClassElement(" + head + ", " + memberType + ", CreateObject, " +
             "ClassNumber_" + m_p.NameOf(m.cls).substr(1) +
             (m.card == Card::Mnd && !required ? ", false)" : ")") + declared;
    }
    case Kind::Enum:
      if (m.card == Card::Col) return "::VxVevAva5Data::EnumElement(" + head + ")";
      return "::VxVevAva5Data::EnumElement(" + head + ", " +
             Q(m_p.NameOf(m.simple->enumOwner) + "ToString") + ", " +
             Q(m_p.NameOf(m.simple->enumOwner) + "FromString") + ")";
    case Kind::Prim:
      break;
  }
  if (m.card == Card::Col) return "::VxVevAva5Data::PrimitiveElement(" + head + ")";
  return "::VxVevAva5Data::PrimitiveElement(" + head + ", ::VxVevAva5::ItemType_" +
         m.simple->itemType + ", " + RuleName(m.simple->whitespace) +
         (facets.empty() ? "" : ", &" + facets) + ")";
}

std::string ClassWriter::AttributeRow(const Member& m, const std::string& facets) {
  if (m.KeepsPresence())
    return "::VxVevAva5Data::TellsAbsence(" + PresentAttributeRow(m, facets) + ")";
  return PresentAttributeRow(m, facets);
}

std::string ClassWriter::PresentAttributeRow(const Member& m, const std::string& facets) {
  if (m.untyped)
    return "::VxVevAva5Data::AnyAttribute(" + Q(m.property) + ", " + U16(m.restriction) + ", " +
           U16(UntypedTarget(*m_plan, m)) +
           (m.process == Process::Skip ? "" : ", " + ProcessArgument(m, Q(kGlobalDeclarations))) +
           ")";
  const std::string head = U16(m.xmlName) + ", " + U16(m.ns) + ", " + Q(m.property) + ", " +
                           (m.decl->required || m.restatedRequired ? "false" : "true");
  if (m.kind == Kind::Enum)
    return "::VxVevAva5Data::EnumAttribute(" + head + ", " +
           Q(m_p.NameOf(m.simple->enumOwner) + "ToString") + ", " +
           Q(m_p.NameOf(m.simple->enumOwner) + "FromString") + ")";
  return "::VxVevAva5Data::PrimitiveAttribute(" + head + ", ::VxVevAva5::ItemType_" +
         m.simple->itemType + ", " + RuleName(m.simple->whitespace) +
         (facets.empty() ? "" : ", &" + facets) + ")";
}

// Whether the type's content is element-only or empty: not mixed, no
// simple content, and no mixed type along its derivation (an extension that
// adds nothing keeps a mixed base's content), so that text inside its
// element is refused when read.
bool ElementOnly(const ComplexType& type) {
  if (type.pseudo) return false;
  for (const ComplexType* t = &type; t != nullptr; t = t->base)
    if (t->mixed || t->text || t->simpleContent) return false;
  return true;
}

void ClassWriter::MetadataTables(std::ostream& out, const ClassPlan& plan) {
  const ComplexType& type = *plan.type;
  Printer p(out);
  p.Print("\nnamespace $stem$Metadata {\n", "stem", plan.stem);
  // The simple type tables of list and union members first, then the facet
  // tables: the rows point to them.
  // (Those the class uses: its rows', its text's and its own collections'.)
  m_typeTables.clear();
  auto tables = [&](const Member& m) {
    const SimpleType* simple = m.text && m.restrictedText ? m.restrictedText : m.simple;
    if (!m.untyped && !m.converted && m.kind == Kind::Prim && IsListOrUnion(simple))
      SimpleTypeTables(p, *simple);
  };
  for (const Member& m : plan.Described())
    if (!m.text && m.card != Card::Col) tables(m);
  for (const Member& m : plan.members)
    if (m.text || (m.card == Card::Col && !m.inherited)) tables(m);
  std::map<const Member*, std::string> facets;
  for (const Member& m : plan.Described()) {
    if (m.text || m.untyped || m.converted || m.card == Card::Col || m.kind != Kind::Prim)
      continue;
    const std::string table = TypeTableOf(m);
    if (m.simple->facets.Empty() && table.empty()) continue;
    std::string name = "kFacets" + std::to_string(facets.size());
    facets[&m] = name;
    p.Print("constexpr ::VxVevAva5Data::FacetTable $name$ =\n    $table$;\n", "name", name, "table",
            Wrap(FacetTable(m.simple->facets) + (table.empty() ? "" : ".SimpleType(&" + table + ")"),
                 4));
  }
  auto facetsOf = [&](const Member& m) {
    auto found = facets.find(&m);
    return found == facets.end() ? std::string() : found->second;
  };
  const IdentityTableNames identity = IdentityTables(out, plan);
  // A value that the class converts from text itself (an element with a
  // default or fixed value, simple content): its type and facets, for
  // reading to check when it validates.
  size_t checks = 0;
  auto textCheck = [&](const SimpleType& simple) {
    std::string name = "kCheck" + std::to_string(checks++);
    p.Print("constexpr ::VxVevAva5Data::FacetTable $name$Facets =\n    $table$;\n", "name", name,
            "table", Wrap(FacetTable(simple.facets), 4));
    p.Print(
        "constexpr ::VxVevAva5Data::TextCheck $name$ = {\n"
        "    ::VxVevAva5::ItemType_$item$, $rule$, &$name$Facets};\n",
        "name", name, "item", simple.itemType, "rule", RuleName(simple.whitespace));
    return name;
  };
  std::map<const Member*, std::string> checked;
  for (const Member& m : plan.Described())
    if (m.converted && !m.attribute && m.kind == Kind::Prim && !m.simple->facets.Empty())
      checked[&m] = textCheck(*m.simple);
  std::string textChecked;
  const SimpleType* text = nullptr;
  for (const ComplexType* t = &type; t != nullptr && text == nullptr; t = t->base) text = t->text;
  bool hasText = false;
  for (const Member& m : plan.members) hasText = hasText || m.text;
  if (hasText && text != nullptr && !text->IsEnum() && !text->facets.Empty())
    textChecked = textCheck(*text);
  // The rows, each from the fifth column.
  std::string elementRows, attributeRows;
  size_t elements = 0, attributes = 0;
  for (const Member& m : plan.Described()) {
    if (m.attribute || m.text) continue;
    std::string row = ElementRow(plan, m, facetsOf(m));
    // A value's declared type and the declaration's block: what validation
    // checks the element's xsi:type against.
    if (!m.untyped && m.kind != Kind::Cls && m.simple != nullptr) {
      const SimpleType& simple = *m.simple;
      auto schema = m_p.simpleSchemaOf.find(&simple);
      const std::string ns = simple.name.empty()             ? plan.schema->targetNamespace
                             : schema != m_p.simpleSchemaOf.end() ? schema->second->targetNamespace
                                                                  : std::string(kXsdNamespace);
      row += ".DeclaredType(" + U16(simple.name) + ", " + U16(ns) + ")";
    }
    if (!m.untyped && m.element != nullptr && m.element->block != 0)
      row += ".Block(" + std::to_string(m.element->block) + ")";
    if (m.substitutionBlockedBy != nullptr)
      row += ".BlockedFor(" + U16(m.substitutionBlockedBy->name) + ")";
    if (m.nillable) row += ".Nillable()";
    row += IdentityRowSuffix(m, identity);
    if (checked.count(&m)) row += ".CheckedAs(&" + checked[&m] + ")";
    elementRows += (elements++ ? ",\n    " : "") + Wrap(row, 4);
  }
  for (const Member& m : plan.Described()) {
    if (!m.attribute) continue;
    attributeRows += (attributes++ ? ",\n    " : "") +
                     Wrap(AttributeRow(m, facetsOf(m)) + IdentityRowSuffix(m, identity), 4);
  }
  if (elements)
    p.Print("constexpr ::VxVevAva5Data::ElementMember kElements[] = {\n    $rows$};\n", "rows",
            elementRows);
  if (attributes)
    p.Print("constexpr ::VxVevAva5Data::AttributeMember kAttributes[] = {\n    $rows$};\n", "rows",
            attributeRows);
  // A model group reads the attributes of its holder's element: it must let
  // them pass.
  std::string textIndex = "-1";
  std::string textType;
  for (const Member& m : plan.members)
    if (m.text) {
      textIndex = Q(m.property);
      textType = TypeTableOf(m);
    }
  const char* group = !type.group || *type.group == GroupKind::Sequence ? "Sequence"
                      : *type.group == GroupKind::Choice                ? "Choice"
                                                                        : "All";
  // A class with base classes: the global elements of its type, where its
  // objects need no xsi:type as a document's root.
  std::string globals;
  auto roots = m_p.globalElementsOf.find(&type);
  if (HasBaseClasses(type) && roots != m_p.globalElementsOf.end()) {
    std::string names;
    for (const std::string& name : roots->second) names += (names.empty() ? "" : ", ") + U16(name);
    p.Print("constexpr const char16_t* kGlobalElements[] = {$names$};\n", "names", names);
    globals = ",\n    kGlobalElements, " + std::to_string(roots->second.size());
  } else {
    globals = ",\n    nullptr, 0";
  }
  // The schema set of the class, then the trailing fields, each only when
  // it or a later one is needed: simple content of a list or union type
  // (the table its text is checked against), the global elements of its
  // type with identity constraints (read as roots), and simple content with
  // facets (its text's check).
  globals += ", &" + Q(kGlobalDeclarations);
  const bool needText = !textChecked.empty();
  const bool needIdentity = needText || !identity.roots.empty();
  if (needIdentity || !textType.empty())
    globals += textType.empty() ? std::string(", nullptr") : ", &" + textType;
  if (needIdentity)
    globals += identity.roots.empty()
                   ? std::string(", nullptr, 0")
                   : ", " + identity.roots + ", " + std::to_string(identity.rootCount);
  if (needText) globals += ", &" + textChecked;
  p.Print(
      "constexpr ::VxVevAva5Data::ClassTable kTable = {\n"
      "    ::VxVevAva5Data::XmlElementGroupType_$group$, ::VxVevAva5Data::XmlElementType_$type$,\n"
      "    $name$, $namespace$, $text$, $failIfUnknown$, $hasBase$,\n"
      "    $elements$, $elementCount$, $attributes$, $attributeCount$, $elementOnly$, $mixed$$globals$};\n"
      "const ::VxVevAva5Data::CTableMetadata kMetadata(kTable);\n"
      "}  // namespace $stem$Metadata\n",
      "group", group, "type", type.pseudo ? "PseudoElement" : "Element", "name",
      U16(HasBaseClasses(type) ? type.name : m_p.DefaultElementOf(type)), "namespace",
      U16(plan.schema->targetNamespace), "text", textIndex, "failIfUnknown",
      type.pseudo ? "false" : "true", "hasBase", HasBaseClasses(type) ? "true" : "false",
      "elements", elements ? "kElements" : "nullptr", "elementCount", elements, "attributes",
      attributes ? "kAttributes" : "nullptr", "attributeCount", attributes, "elementOnly",
      ElementOnly(type) ? "true" : "false", "mixed", type.mixed ? "true" : "false", "globals",
      globals, "stem", plan.stem);
}

std::string ClassWriter::CollectionConstruction(const Member& m) {
  std::string args = Literal(m.xmlName) + ", " + Literal(m.ns) + ", " +
                     std::to_string(m.minOccurs) + ", " + std::to_string(m.maxOccurs);
  std::string type = CollectionType(m);
  if (m.untyped) return UntypedCollection(*m_plan, m);
  if (m.kind != Kind::Prim) return "new " + type + "(" + args + ")";
  const std::string table = TypeTableOf(m);
  return FacetsBuilder(m.simple->facets) +
         (table.empty() ? "" : ".SimpleType(&" + Q(m_plan->stem + "Metadata") + "::" + table + ")") +
         ".NewCollection<" + type + ">(" + args + ", " + RuleName(m.simple->whitespace) + ")";
}

// The expression for a default or fixed value of an attribute.
std::string ClassWriter::InitialValue(const Member& m, const std::string& text) {
  if (m.kind == Kind::Enum) {
    for (size_t i = 0; i < m.simple->enumeration.size(); ++i)
      if (m.simple->enumeration[i] == text) return Q(m_p.EnumeratorsOf(m.simple->enumOwner)[i]);
  }
  // Strings, integers and booleans are worked out here, once, instead of
  // being converted from text for every new object. (The reader has checked
  // that the text is a value of the type.)
  const std::string& item = m.simple->itemType;
  std::string value = Normalized(text, m.simple->whitespace);
  if (item == "string") return "::VxVevAva5::Utf16::Make(" + Literal(value) + ")";
  if (item == "boolean") return value == "true" || value == "1" ? "true" : "false";
  if (std::string literal = IntegerLiteral(item, value); !literal.empty()) return literal;
  return "::VxVevAva5::Generated::ValueOf(" + Literal(text) + ", ::VxVevAva5::ItemType_" +
         m.simple->itemType + ", " + RuleName(m.simple->whitespace) + ").Get" +
         KindOf(m.simple->itemType).variant + "()";
}

std::string ClassWriter::Reset(const Member& m, const std::optional<std::string>& initial) {
  if (m.kind == Kind::Prim && m.simple->itemType == "string") {
    if (!initial) return m.field + ".clear();";
    return "::VxVevAva5Data::AssignText(" + m.field + ", " +
           Literal(Normalized(*initial, m.simple->whitespace)) + ");";
  }
  return m.field + " = " + (initial ? InitialValue(m, *initial) : Cleared(m)) + ";";
}

// -- untyped members, and elements with a default or fixed value ---------------

// The runtime's description of an untyped member, by field; `made` for one
// that makes elements (which then take its namespace).
std::string ClassWriter::Untyped(const ClassPlan& plan, const Member& m, bool made) {
  const std::string target = UntypedTarget(plan, m);
  std::string text = "::VxVevAva5::Generated::Untyped()";
  if (!m.anyName) text += ".Name(" + Literal(m.xmlName) + ")";
  if (made)
    text +=
        ".NamespaceUri(" + Literal(m.anyName ? FirstNamespace(m.restriction, target) : m.ns) + ")";
  return text + ".Restriction(" + Literal(m.restriction) + ").TargetNamespace(" + Literal(target) +
         ")";
}

std::string ClassWriter::UntypedCheck(const ClassPlan& plan, const Member& m,
                                      const std::string& element) {
  return Untyped(plan, m, false) + ".Check(" + element + ")";
}

std::string ClassWriter::UntypedCollection(const ClassPlan& plan, const Member& m) {
  if (m.attribute) return Untyped(plan, m, false) + ".NewAttributeCollection()";
  return Untyped(plan, m, true) + ".Occurs(" + std::to_string(m.minOccurs) + ", " +
         std::to_string(m.maxOccurs) + ").NewCollection()";
}

// The setter of a single untyped member.
void ClassWriter::UntypedDefinitions(std::ostream& out, const ClassPlan& plan, const Member& m) {
  Printer p(out);
  Printer::Variables v{{"class", m_p.NameOf(plan.type)},
                       {"stem", m.stem},
                       {"name", Literal(m.xmlName)},
                       {"ns", Literal(m.ns)},
                       {"field", m.field}};
  p.Print(v, "\nvoid $class$::Set$stem$(::VxVevAva5::CElement* value) {\n");
  if (m.card == Card::Mnd) p.Print(v, "  Throw_IfPropertyIsNull(value, $name$);\n");
  if (m.anyName) {
    v["check"] = Wrap(UntypedCheck(plan, m, "value"), 4);
    p.Print(v, "  if (value != nullptr)\n    $check$;\n");
  } else {
    p.Print(v,
            "  if (value != nullptr) {\n"
            "    value->SetName($name$);\n"
            "    value->SetNamespace($ns$);\n"
            "  }\n");
  }
  if (plan.choice) p.Print(v, "  Choice_SelectElement($name$, value, m_chosen);\n");
  p.Print(v, "  $field$ = value;\n}\n");
}

void ClassWriter::UntypedAccessCase(std::ostream& out, const ClassPlan& plan, const Member& m) {
  Printer p(out);
  Printer::Variables v{{"stem", m.stem},
                       {"field", m.field},
                       {"check", Wrap(UntypedCheck(plan, m, m.field + ".get()"), 10)}};
  p.Print(v,
          "      if (read) {\n"
          "        if ($field$ != nullptr) {\n"
          "          $check$;\n"
          "          value.SetXmlObject($field$);\n"
          "        }\n"
          "      } else {\n"
          "        ::VxVevAva5::CXmlObjectBase* object =\n"
          "            value.IsValid() ? value.GetXmlObject().get() : nullptr;\n");
  p.Print(v, plan.choice ? "        Set$stem$(static_cast<::VxVevAva5::CElement*>(object));\n"
                         : "        $field$ = static_cast<::VxVevAva5::CElement*>(object);\n");
  p.Print(v, "      }\n      return;\n");
}

// The canonical text of a fixed value, as a C++ expression.
std::string ClassWriter::FixedText(const Member& m, const std::string& fixed) {
  if (m.kind == Kind::Enum)
    return "::VxVevAva5::Utf16::Make(" + Q(m_p.NameOf(m.simple->enumOwner)) + "ToString(" +
           InitialValue(m, fixed) + "))";
  return "::VxVevAva5::Generated::ValueOf(" + Literal(fixed) + ", ::VxVevAva5::ItemType_" +
         m.simple->itemType + ", " + RuleName(m.simple->whitespace) + ").ToString(nullptr)";
}

// An element with a default or fixed value: its info hands over the text,
// converted here. An empty element stands for the default (or the fixed
// value); a fixed value is checked when read and when written.
void ClassWriter::ConvertedAccessCase(std::ostream& out, const ClassPlan& plan, const Member& m) {
  const std::string& f = m.field;
  const ElementDecl& decl = *m.element;
  std::string name = Literal(m.xmlName);
  std::string initial = InitialValue(m, decl.fixedValue ? *decl.fixedValue : *decl.defaultValue);
  std::string fixed = decl.fixedValue ? FixedText(m, *decl.fixedValue) : std::string();
  bool optional = m.HasValidFlag();
  Printer p(out);
  Printer::Variables v{{"field", f},
                       {"valid", m.valid},
                       {"stem", m.stem},
                       {"name", name},
                       {"variant", KindOf(m.simple->itemType).variant}};
  // The canonical text of the value `value` into the String `var`, at
  // eight columns.
  auto toText = [&](const std::string& value, const std::string& var) {
    v["value"] = value;
    v["var"] = var;
    if (m.kind == Kind::Enum) {
      v["enum"] = Q(m_p.NameOf(m.simple->enumOwner));
      p.Print(v,
              "        const ::VxVevAva5::String $var$ = "
              "::VxVevAva5::Utf16::Make($enum$ToString($value$));\n");
      return;
    }
    p.Print(v,
            "        ::VxVevAva5::VxVariant typed;\n"
            "        typed.Set$variant$($value$);\n");
    if (!m.simple->facets.Empty()) CheckFacets(p, "        ", *m.simple, name);
    p.Print(v, "        const ::VxVevAva5::String $var$ = typed.ToString(nullptr);\n");
  };
  // The check of a fixed value's text in `var`, at eight columns.
  auto checkFixed = [&](const std::string& var) {
    p.Print(
        "        $check$;\n", "check",
        Wrap("::VxVevAva5::Generated::CheckFixed(" + name + ", " + var + ", " + fixed + ")", 8));
  };
  std::string converted;
  if (m.kind == Kind::Enum) {
    const std::string e = Q(m_p.NameOf(m.simple->enumOwner));
    converted = "static_cast<" + e + ">(" + e + "FromString(text.c_str()))";
  } else {
    converted = "::VxVevAva5::Generated::ValueOf(text.c_str(), ::VxVevAva5::ItemType_" +
                m.simple->itemType + ", " + RuleName(m.simple->whitespace) + ").Get" +
                KindOf(m.simple->itemType).variant + "()";
  }
  p.Print(v, "      if (read) {\n");
  if (optional) p.Print(v, "        if (!$valid$) return;\n");
  if (m.HasEmptyFlag()) {
    // Read empty and still the default: written empty again.
    v["empty"] = m.empty;
    v["initial"] = initial;
    if (m.kind == Kind::Enum) {
      p.Print(v, "        if ($empty$ && $field$ == $initial$) {\n");
    } else {
      p.Print(v,
              "        ::VxVevAva5::VxVariant now, initial;\n"
              "        now.Set$variant$($field$);\n"
              "        initial.Set$variant$($initial$);\n"
              "        if ($empty$ && now.ToString(nullptr) == initial.ToString(nullptr)) {\n");
    }
    p.Print(v,
            "          value.SetString(::VxVevAva5::String());\n"
            "          return;\n"
            "        }\n");
  }
  toText(f, "text");
  if (!fixed.empty()) checkFixed("text");
  p.Print(v,
          "        value.SetString(text);\n"
          "        return;\n"
          "      }\n");
  if (optional) {
    p.Print(v, "      if (!value.IsValid()) {\n");
    p.Print(v, plan.choice ? "        Remove$stem$();\n" : "        $valid$ = false;\n");
    p.Print(v, "        return;\n      }\n");
  }
  v["initial"] = Wrap(ValueType(m) + " converted = " + initial, 6);
  v["convert"] = Wrap("converted = " + converted, 8);
  p.Print(v,
          "      const ::VxVevAva5::String text = value.GetString();\n"
          "      $initial$;\n"
          "      if (!text.empty())\n"
          "        $convert$;\n");
  if (m.HasEmptyFlag()) p.Print("      $empty$ = text.empty();\n", "empty", m.empty);
  if (!fixed.empty()) {
    p.Print(v, "      {\n");
    toText("converted", "canonical");
    checkFixed("canonical");
    p.Print(v, "      }\n");
  }
  bool string = m.kind == Kind::Prim && m.simple->itemType == "string";
  if (optional && plan.choice)
    p.Print(v, string ? "      Set$stem$(converted.c_str());\n" : "      Set$stem$(converted);\n");
  else if (optional)
    p.Print(v, "      $field$ = converted;\n      $valid$ = true;\n");
  else
    p.Print(v, "      $field$ = converted;\n");
  p.Print(v, "      return;\n");
}

// An attribute with a fixed value: read only when it has that value.
void ClassWriter::FixedAttributeAccessCase(std::ostream& out, const Member& m) {
  const std::string& f = m.field;
  std::string fixed = FixedText(m, *m.decl->fixedValue);
  std::string name = Literal(m.xmlName);
  const bool presence = m.KeepsPresence();
  if (m.kind == Kind::Enum) {
    Printer(out).Print(
        presence ? "      if (read) {\n"
                   "        if ($valid$) value.SetI4($field$);\n"
                   "        return;\n"
                   "      }\n"
                   "      $valid$ = value.IsValid();\n"
                   "      if (!$valid$) return;\n"
                 : "      if (read) {\n"
                   "        value.SetI4($field$);\n"
                   "        return;\n"
                   "      }\n",
        "field", f, "valid", m.valid);
    Printer(out).Print(
        "      ::VxVevAva5::Generated::CheckFixed($name$, "
        "::VxVevAva5::Utf16::Make($enum$ToString(value.GetI4())),\n"
        "                 $fixed$);\n"
        "      $field$ = static_cast<$enum$>(value.GetI4());\n"
        "      return;\n",
        "field", f, "name", name, "enum", Q(m_p.NameOf(m.simple->enumOwner)), "fixed", fixed);
    return;
  }
  out << ReturnCall(
      "::VxVevAva5::Generated::AccessFixed<::VxVevAva5::ItemType_" + m.simple->itemType + ">",
      f + (presence ? ", " + m.valid : "") + ", " + name + ", " + Literal(*m.decl->fixedValue) +
          ", " + RuleName(m.simple->whitespace) + ", read, value");
}

void ClassWriter::AccessCase(std::ostream& out, const ClassPlan& plan, const Member& m) {
  Printer p(out);
  Printer::Variables v{
      {"property", Q(m.property)}, {"field", m.field}, {"valid", m.valid}, {"stem", m.stem}};
  p.Print(v, "    case $property$:\n");
  const std::string& f = m.field;
  if (m.text) {
    // The driver reads and writes the text as a string: converted here by
    // the text's type, and checked against its facets on the way out.
    if (m.kind == Kind::Enum) {
      v["enum"] = Q(m_p.NameOf(m.simple->enumOwner));
      p.Print(
          v,
          "      if (read)\n"
          "        value.SetString(::VxVevAva5::Utf16::Make($enum$ToString($field$)));\n"
          "      else\n"
          "        $field$ = static_cast<$enum$>($enum$FromString(value.GetString().c_str()));\n"
          "      return;\n");
      return;
    }
    v["variant"] = KindOf(m.simple->itemType).variant;
    v["rule"] = RuleName(m.simple->whitespace);
    v["item"] = m.simple->itemType;
    p.Print(v,
            "      if (read) {\n"
            "        ::VxVevAva5::VxVariant typed;\n"
            "        typed.Set$variant$($field$);\n");
    if (!m.simple->facets.Empty())
      CheckFacets(p, "        ", *m.simple, Literal(m_p.DefaultElementOf(plan.type)));
    if (m.simple->itemType == "QName" || m.simple->itemType == "QNameList") {
      // A QName travels as itself, for the driver to resolve its prefix
      // where the text stood and to declare it where it is written: the
      // text handed in comes back as the value it made.
      p.Print(v,
              "        value = typed;\n"
              "      } else if (value.GetItemType() == ::VxVevAva5::ItemType_$item$) {\n"
              "        $field$ = value.Get$variant$();\n"
              "      } else {\n"
              "        value.FromString(value.GetString(),\n"
              "                         ::VxVevAva5::ItemType_$item$, $rule$);\n"
              "        $field$ = value.Get$variant$();\n"
              "      }\n"
              "      return;\n");
      return;
    }
    p.Print(v,
            "        value.SetString(typed.ToString(nullptr));\n"
            "      } else {\n"
            "        ::VxVevAva5::VxVariant typed;\n"
            "        typed.FromString(value.GetString(),\n"
            "                         ::VxVevAva5::ItemType_$item$, $rule$);\n"
            "        $field$ = typed.Get$variant$();\n"
            "      }\n"
            "      return;\n");
    return;
  }
  if (m.card == Card::Col) {
    // Owned, never replaced: read only.
    out << ReturnCall("::VxVevAva5Data::AccessCollection", f + ", read, value");
    return;
  }
  if (m.untyped) return UntypedAccessCase(out, plan, m);
  if (m.converted) {
    p.Print(v, "    {\n");  // a block for its own declarations
    ConvertedAccessCase(out, plan, m);
    p.Print(v, "    }\n");
    return;
  }
  if (m.Fixed()) return FixedAttributeAccessCase(out, m);
  if (m.kind == Kind::Cls && !plan.choice) {
    out << ReturnCall("::VxVevAva5Data::AccessObject", f + ", read, value");
    return;
  }
  if (m.kind == Kind::Cls) {
    // A member of a choice: set through its setter, which makes it the one
    // chosen.
    v["class"] = Q(m_p.NameOf(m.cls));
    p.Print(v,
            "      if (read) {\n"
            "        if ($field$ != nullptr) value.SetXmlObject($field$);\n"
            "      } else {\n"
            "        ::VxVevAva5::CXmlObjectBase* object =\n"
            "            value.IsValid() ? value.GetXmlObject().get() : nullptr;\n"
            "        Set$stem$(static_cast<$class$*>(object));\n"
            "      }\n"
            "      return;\n");
    return;
  }
  if (!plan.choice || m.attribute) {
    // One call of the runtime's member access.
    std::string access =
        m.kind == Kind::Enum
            ? std::string("::VxVevAva5Data::AccessEnum")
            : "::VxVevAva5Data::AccessValue<::VxVevAva5::ItemType_" + m.simple->itemType + ">";
    out << ReturnCall(access, f + (m.HasValidFlag() ? ", " + m.valid : "") + ", read, value");
    return;
  }
  // A value of a choice.
  if (m.kind == Kind::Enum) {
    v["set"] = "value.SetI4(" + f + ")";
    v["get"] = "static_cast<" + ValueType(m) + ">(value.GetI4())";
  } else {
    const char* variant = KindOf(m.simple->itemType).variant;
    v["set"] = std::string("value.Set") + variant + "(" + f + ")";
    v["get"] = std::string("value.Get") + variant + "()";
  }
  if (!m.HasValidFlag()) {
    p.Print(v,
            "      if (read)\n"
            "        $set$;\n"
            "      else\n"
            "        $field$ = $get$;\n"
            "      return;\n");
    return;
  }
  bool string = m.kind == Kind::Prim && m.simple->itemType == "string";
  v["argument"] = v["get"] + (string ? ".c_str()" : "");
  p.Print(v,
          "      if (read) {\n"
          "        if ($valid$) $set$;\n"
          "      } else if (value.IsValid()) {\n"
          "        Set$stem$($argument$);\n"
          "      } else {\n"
          "        Remove$stem$();\n"
          "      }\n"
          "      return;\n");
}

void ClassWriter::ClassDefinition(std::ostream& out, const ClassPlan& plan) {
  const ComplexType& type = *plan.type;
  const std::string& c = m_p.NameOf(type);
  const std::string& stem = plan.stem;
  m_plan = &plan;
  Printer p(out);
  Printer::Variables v{{"class", c},
                       {"stem", stem},
                       {"rule", std::string(70 - std::min<size_t>(60, stem.size()), '-')},
                       {"metadata", Q(stem + "Metadata") + "::kMetadata"}};
  p.Print(v, "\n// -- $stem$ $rule$\n\nnamespace {\n");
  if (!plan.members.empty()) {
    p.Print(v, "enum $stem$Property {");
    for (size_t i = 0; i < plan.members.size(); ++i)
      p.Print("$comma$\n  $property$", "comma", i ? "," : "", "property", plan.members[i].property);
    p.Print(v, "\n};\n");
  }
  MetadataTables(out, plan);
  p.Print(v, "}  // namespace\n\n");

  // Constructor, destructor, metadata accessors. The constructor initializes
  // the base class and the collections.
  std::string initializers;
  auto initialize = [&](const std::string& initializer) {
    initializers += (initializers.empty() ? "\n    : " : ",\n      ") + initializer;
  };
  if (type.base) initialize(m_p.NameOf(type.base) + "(elementName)");
  for (const Member& m : plan.members)
    if (m.card == Card::Col && !m.inherited)
      initialize(m.field + "(" + Wrap(CollectionConstruction(m), 7 + m.field.size()) + ")");
  v["initializers"] = initializers;
  p.Print(v,
          "$class$::$class$(const unsigned short* elementName)$initializers$ {\n"
          "  SetElementName(elementName);\n");
  for (const Member* m : plan.choiceCollections)
    p.Print("  $field$->AddEventListener(this);\n", "field", m->field);
  // The base's attribute wildcard, joined with this type's.
  for (const Member& m : plan.Described())
    if (m.inherited && m.attribute && m.anyName)
      p.Print("  Get$stem$()->SetRestriction($restriction$, $target$);\n", "stem", m.stem,
              "restriction", Literal(m.restriction), "target", Literal(UntypedTarget(plan, m)));
  p.Print(v, "  Init();\n}\n\n");
  if (plan.choiceCollections.empty()) {
    p.Print(v, "$class$::~$class$() = default;\n\n");
  } else {
    p.Print(v, "$class$::~$class$() {\n");
    for (const Member* m : plan.choiceCollections)
      p.Print("  $field$->RemoveEventListener(this);\n", "field", m->field);
    p.Print(v, "}\n\n");
  }
  p.Print(v,
          "::VxVevAva5Data::CParentElementInfo* $class$::GetClassInfo() const {\n"
          "  return $metadata$.ClassInfo();\n"
          "}\n"
          "::VxVevAva5Data::CElementInfo** $class$::GetClassElementInfo() const {\n"
          "  return $metadata$.ElementInfos();\n"
          "}\n"
          "::VxVevAva5Data::CAttributeInfo** $class$::GetClassAttributeInfo() const {\n"
          "  return $metadata$.AttributeInfos();\n"
          "}\n"
          "\n");

  // Init: the state of a new object, and of one about to be read again.
  p.Print(v, "void $class$::Init() {\n");
  if (type.base) p.Print("  $base$::Init();\n", "base", m_p.NameOf(type.base));
  for (const Member& m : plan.members) {
    if (m.inherited) continue;
    Printer::Variables f{{"field", m.field}, {"valid", m.valid}};
    if (m.card == Card::Col) {
      p.Print(f, "  $field$->Clear();\n");
    } else if (m.untyped && m.card == Card::Mnd) {
      // A mandatory one holds an element from the start: the reading fills
      // it in place.
      f["element"] = Wrap(Untyped(plan, m, true) + ".NewElement()", 5 + m.field.size());
      p.Print(f, "  $field$ = $element$;\n");
    } else if (m.kind == Kind::Cls && m.card == Card::Mnd && !m.cls->abstract) {
      f["class"] = Q(m_p.NameOf(m.cls));
      f["name"] = Literal(m.xmlName);
      p.Print(f, "  $field$ = new $class$($name$);\n");
    } else if (m.untyped || m.kind == Kind::Cls) {
      p.Print(f, "  $field$ = nullptr;\n");
    } else {
      std::optional<std::string> initial;
      if (m.decl) initial = m.decl->fixedValue ? m.decl->fixedValue : m.decl->defaultValue;
      if (m.converted)
        initial = m.element->fixedValue ? m.element->fixedValue : m.element->defaultValue;
      p.Print("  $reset$\n", "reset", Reset(m, initial));
      if (m.HasValidFlag()) p.Print(f, "  $valid$ = false;\n");
      if (m.KeepsPresence()) p.Print(f, "  $valid$ = true;\n");
    }
    if (m.HasNilFlag()) p.Print("  $nil$ = false;\n", "nil", m.nil);
    if (m.HasEmptyFlag()) p.Print("  $empty$ = false;\n", "empty", m.empty);
  }
  if (plan.choice && plan.ownsChoice) p.Print(v, "  m_chosen.clear();\n");
  p.Print(v, "}\n");

  // Setters defined here: objects, optional values, members of a choice.
  for (const Member& m : plan.members) {
    if (m.card == Card::Col || m.Fixed() || m.inherited) continue;
    if (m.untyped) {
      UntypedDefinitions(out, plan, m);
      continue;
    }
    Printer::Variables s{{"class", c},
                         {"stem", m.stem},
                         {"name", Literal(m.xmlName)},
                         {"field", m.field},
                         {"valid", m.valid}};
    if (m.kind == Kind::Cls) {
      s["type"] = Q(m_p.NameOf(m.cls));
      p.Print(s, "\nvoid $class$::Set$stem$($type$* value) {\n");
      if (m.card == Card::Mnd) p.Print(s, "  Throw_IfPropertyIsNull(value, $name$);\n");
      if (plan.choice) p.Print(s, "  Choice_SelectElement($name$, value, m_chosen);\n");
      p.Print(s, m.card == Card::Mnd ? "  SetElementName(value, $name$);\n"
                                     : "  if (value != nullptr) SetElementName(value, $name$);\n");
      p.Print(s, "  $field$ = value;\n}\n");
      continue;
    }
    if (m.card != Card::Opt) continue;
    bool string = m.kind == Kind::Prim && m.simple->itemType == "string";
    bool inChoice = plan.choice && !m.attribute;
    std::optional<std::string> initial = m.decl ? m.decl->defaultValue : std::nullopt;
    if (m.converted)
      initial = m.element->fixedValue ? m.element->fixedValue : m.element->defaultValue;
    s["argument"] = ArgType(m);
    s["reset"] = Reset(m, initial);
    s["unnil"] = m.HasNilFlag() ? "  " + m.nil + " = false;\n" : "";
    p.Print(s, "\nvoid $class$::Set$stem$($argument$ value) {\n");
    if (inChoice) p.Print(s, "  Choice_SetElementValid(true, $name$, m_chosen);\n");
    p.Print(s,
            string ? "  ::VxVevAva5Data::AssignText($field$, value);\n" : "  $field$ = value;\n");
    p.Print(s,
            "  $valid$ = true;\n"
            "$unnil$"
            "}\n"
            "\n"
            "void $class$::Remove$stem$() {\n");
    if (inChoice) p.Print(s, "  Choice_SetElementValid(false, $name$, m_chosen);\n");
    p.Print(s,
            "  $reset$\n"
            "  $valid$ = false;\n"
            "$unnil$"
            "}\n");
  }
  for (const Member& m : plan.members)
    if (m.nillable && !m.inherited) NilDefinitions(out, plan, m);

  if (!plan.choiceCollections.empty()) {
    p.Print(v,
            "\nvoid $class$::OnEvent(::VxVevAva5::CXmlObjectBase* source, "
            "::VxVevAva5::CXmlObjectBase::MsgType, void*) {\n");
    for (const Member* m : plan.choiceCollections)
      p.Print(
          "  if (source == $field$.get())\n"
          "    Choice_CollectionChanged($name$, $field$->GetCount(), m_chosen);\n",
          "field", m->field, "name", Literal(m->xmlName));
    p.Print(v, "}\n");
  }

  ForeignAccessors(out, plan);
  StreamedMembers(out, plan);
  p.Print(v,
          "\nvoid $class$::AccessProperty(int propertyIndex, bool read,\n"
          "    ::VxVevAva5::VxVariant& value) {\n");
  if (plan.inheritedCount > 0) InheritedAccess(out, plan);
  if (plan.members.empty()) {
    p.Print(v,
            "  static_cast<void>(propertyIndex);\n"
            "  static_cast<void>(read);\n"
            "  static_cast<void>(value);\n");
  } else if (plan.members.size() > plan.inheritedCount) {
    p.Print(v, "  switch (propertyIndex) {\n");
    for (const Member& m : plan.members)
      if (!m.inherited) AccessCase(out, plan, m);
    p.Print(v, "  }\n");
  }
  p.Print(v, "}\n");
  if (HasOwnNilFlags(plan)) AccessNil(out, plan);
}

void ClassWriter::StreamedMembers(std::ostream& out, const ClassPlan& plan) {
  for (const Member& m : plan.members) {
    if (m.inherited || !Streamable(m)) continue;
    Printer(out).Print(
        "\n::VxVevAva5::CStreamedMember<$item$> $class$::Stream$stem$() {\n"
        "  return ::VxVevAva5::CStreamedMember<$item$>(\n"
        "      &::VxVevAva5::IsStreamedMemberOwner<$class$>, $property$);\n"
        "}\n",
        "item", Q(m_p.NameOf(m.cls)), "class", m_p.NameOf(plan.type), "stem", m.stem, "property",
        Q(m.property));
  }
}

void ClassWriter::ForeignAccessors(std::ostream& out, const ClassPlan& plan) {
  for (const Member& m : plan.members) {
    if (!m.foreign) continue;
    Printer(out).Print(
        "\n::VxVevAva5::CSmartPtr<$type$> $class$::Get$stem$() const {\n  return $field$;\n}\n",
        "type", m.card == Card::Col ? CollectionType(m) : m_p.NameOf(m.cls), "class",
        m_p.NameOf(plan.type), "stem", m.stem, "field", m.field);
  }
}

// -- nil ------------------------------------------------------------------------
//
// A member whose element is nillable may stand nil: its element is written
// with xsi:nil="true" and no content, and its value is absent. A value
// member keeps a flag of its own, which the infos reach through AccessNil;
// a child object keeps its own (IsXsiNil) and keeps its attributes when
// nil. Items of a collection are objects and say it themselves. Untyped
// content keeps xsi:nil among its attributes.

void ClassWriter::NilAccessors(std::ostream& out, const Member& m) {
  if (!m.nillable || m.card == Card::Col || m.anyName) return;
  Printer p(out);
  Printer::Variables v{{"stem", m.stem}, {"nil", m.nil}, {"field", m.field}};
  if (m.untyped) {
    p.Print(v,
            "  // Nil: xsi:nil=\"true\" among the element's attributes, and no content\n"
            "  // (SetNil makes an element when there is none).\n"
            "  bool IsNil$stem$() const { return ::VxVevAva5::Generated::IsNil($field$.get()); }\n");
  } else if (m.HasNilFlag()) {
    p.Print(v,
            "  // Nil: written with xsi:nil=\"true\", its value absent; setting a value\n"
            "  // clears it.\n"
            "  bool IsNil$stem$() const { return $nil$; }\n");
  } else {
    p.Print(v,
            "  // Nil: the object is written with its attributes, xsi:nil=\"true\" and no\n"
            "  // content (SetNil makes an object when there is none).\n"
            "  bool IsNil$stem$() const;\n");
  }
  p.Print(v, "  void SetNil$stem$(bool nil);\n");
}

void ClassWriter::NilDefinitions(std::ostream& out, const ClassPlan& plan, const Member& m) {
  if (m.card == Card::Col || m.anyName) return;
  Printer p(out);
  Printer::Variables v{{"class", m_p.NameOf(plan.type)},
                       {"stem", m.stem},
                       {"name", Literal(m.xmlName)},
                       {"field", m.field},
                       {"nil", m.nil}};
  if (m.HasNilFlag()) {
    p.Print(v, "\nvoid $class$::SetNil$stem$(bool nil) {\n  if (nil) {\n");
    if (m.card == Card::Mnd) {
      p.Print("    $reset$\n", "reset", Reset(m, std::nullopt));
    } else {
      p.Print(v, "    Remove$stem$();\n");
      if (plan.choice) p.Print(v, "    Choice_SetElementValid(true, $name$, m_chosen);\n");
    }
    p.Print(v, "  }\n  $nil$ = nil;\n}\n");
    return;
  }
  if (m.untyped) {
    v["element"] = Wrap(Untyped(plan, m, true) + ".NewElement()", 13 + m.stem.size());
    p.Print(v,
            "\nvoid $class$::SetNil$stem$(bool nil) {\n"
            "  if ($field$ == nullptr) {\n"
            "    if (!nil) return;\n"
            "    Set$stem$($element$);\n"
            "  }\n"
            "  ::VxVevAva5::Generated::SetNil($field$.get(), nil);\n"
            "}\n");
    return;
  }
  v["type"] = Q(m_p.NameOf(m.cls));
  p.Print(v,
          "\nbool $class$::IsNil$stem$() const {\n"
          "  return $field$ != nullptr && $field$->IsXsiNil();\n"
          "}\n"
          "\n"
          "void $class$::SetNil$stem$(bool nil) {\n"
          "  if ($field$ == nullptr) {\n"
          "    if (!nil) return;\n");
  if (m.cls->abstract)
    p.Print(v,
            "    throw ::VxVevAva5::CVxInvalidStateException(::VxVevAva5::String(\n"
            "        VX_T(\"The member holds no object to make nil: set one first\")));\n");
  else
    p.Print(v, "    Set$stem$(new $type$($name$));\n");
  p.Print(v, "  }\n  $field$->SetXsiNil(nil);\n}\n");
}

void ClassWriter::AccessNil(std::ostream& out, const ClassPlan& plan) {
  Printer p(out);
  p.Print(
      "\nbool $class$::AccessNil(int propertyIndex, const bool* nil) {\n"
      "  switch (propertyIndex) {\n",
      "class", m_p.NameOf(plan.type));
  for (const Member& m : plan.members) {
    if (!m.HasNilFlag() || m.inherited) continue;
    p.Print(
        "    case $property$:\n"
        "      if (nil != nullptr) $nil$ = *nil;\n"
        "      return $nil$;\n",
        "property", Q(m.property), "nil", m.nil);
  }
  p.Print("  }\n  return $base$::AccessNil(propertyIndex, nil);\n}\n", "base",
          plan.type->base ? m_p.NameOf(plan.type->base) : "::VxVevAva5::CXmlGeneratedClass");
}

// -- derivation -----------------------------------------------------------------
//
// A derived type's class derives from its base's class, so that its objects
// can be stored where the base is expected. Its members are the base's (with
// the base's property indexes, accessed through the base's AccessProperty)
// followed by its own. Its metadata describes its whole content:
//   - an extension: the base's element and attribute infos, then its own;
//   - a restriction: the content it restates, each element or attribute
//     bound to the base's member of the same name (the restriction has no
//     storage of its own: its values are the base's, and so its objects are
//     the base's objects whatever document they were read from); a member
//     that the restriction leaves out is not read or written, a restated
//     minOccurs or use gives the info's occurrence over the base's storage.
// A named derived class whose objects a member of a base type may hold
// (see HasBaseClasses) has base classes, and its info bears the type's
// name, so that the driver writes xsi:type when the object stands under an
// element of another declared type (the member rows say theirs).

void ClassWriter::InheritedAccess(std::ostream& out, const ClassPlan& plan) {
  Printer p(out);
  p.Print(
      "  if (propertyIndex < $count$) {  // the members of $base$\n"
      "    $base$::AccessProperty(propertyIndex, read, value);\n",
      "count", plan.inheritedCount, "base", m_p.NameOf(plan.type->base));
  for (const Member& m : plan.members) {
    if (!m.restrictedText) continue;
    // The restriction's text is held as the base's; its own facets are
    // checked on the way out, as the base's are.
    const SimpleType& text = *m.restrictedText;
    Printer::Variables v{
        {"property", Q(m.property)}, {"item", text.itemType}, {"rule", RuleName(text.whitespace)}};
    p.Print(v, "    if (read && propertyIndex == $property$) {\n");
    if (text.IsEnum())
      p.Print("      static_cast<void>($enum$FromString(value.GetString().c_str()));\n", "enum",
              Q(m_p.NameOf(text.enumOwner)));
    if (!text.facets.Empty()) {
      p.Print(v,
              "      ::VxVevAva5::VxVariant typed;\n"
              "      typed.FromString(value.GetString(),\n"
              "                       ::VxVevAva5::ItemType_$item$, $rule$);\n");
      CheckFacets(p, "      ", text, Literal(m_p.DefaultElementOf(plan.type)));
    }
    p.Print(v, "    }\n");
  }
  p.Print("    return;\n  }\n");
}

}  // namespace

std::string TableText(const std::string& utf8) { return U16(utf8); }

std::string TableFacets(const Facets& facets) {
  return FacetCalls("::VxVevAva5Data::FacetTable()", facets, U16);
}

void ClassDeclaration(std::ostream& out, const EmitContext& c, const ClassPlan& plan) {
  ClassWriter(c, nullptr).ClassDeclaration(out, plan);
}

void ClassDefinition(std::ostream& out, const EmitContext& c, const ClassPlan& plan,
                     ClassUses& uses) {
  ClassWriter(c, &uses).ClassDefinition(out, plan);
}

}  // namespace vxbindc
