// The check of a value against a list or union type's table.
//
// A table is compiled once, on its first check, into a node that keeps what
// the checks need ready: the pattern and the other facets as restrictions
// (whose compiled pattern and converted bounds they share), and the
// enumeration in the type's value space. The nodes live until the program
// ends and are shared by every member, thread and table that reaches them.
#include "vxbind/model/SimpleTypeTable.h"

#include <memory>
#include <mutex>
#include <unordered_map>
#include <utility>
#include <vector>

#include "vxbind/base/Exceptions.h"
#include "vxbind/conversions/PrimitiveRestrictions.h"
#include "vxbind/platform/Format.h"
#include "vxbind/platform/Utf16.h"

namespace VxVevAva5Data {

using VxVevAva5::CheckFacets;
using VxVevAva5::CVxException;
using VxVevAva5::CVxInvalidValueException;
using VxVevAva5::FormatString;

namespace {

constexpr int kMaxNesting = 32;

const unsigned short* Units(const char16_t* text) {
  return reinterpret_cast<const unsigned short*>(text != nullptr ? text : u"");
}

struct Node {
  const SimpleTypeTable* table = nullptr;
  String name;
  bool hasPattern = false;
  CPrimitiveRestrictions pattern;  // the pattern alone: it matches the text
  CPrimitiveRestrictions value;    // atomic: the other facets, on the value
  int length = -1;                 // list: in items
  int minLength = -1;
  int maxLength = -1;
  std::vector<String> enumeration;  // the values' canonical texts
  const Node* item = nullptr;
  std::vector<const Node*> members;
};

// A value as a type took it: its text after the whitespace rule (the
// member's, for a union), and its canonical text, by which enumerations
// compare.
struct Taken {
  String lexical;
  String canonical;
};

[[noreturn]] void ThrowInvalid(const unsigned short* name, const String& value,
                               const String& reason) {
  throw CVxInvalidValueException(FormatString(VX_T("Invalid Value for %s [%s]: %s"), name,
                                              value.c_str(), reason.c_str()));
}

[[noreturn]] void ThrowInvalid(const unsigned short* name, const String& value,
                               const String& reason, CVxException&& cause) {
  throw CVxInvalidValueException(
      FormatString(VX_T("Invalid Value for %s [%s]: %s"), name, value.c_str(), reason.c_str()),
      std::move(cause));
}

void CheckPattern(const Node& node, const unsigned short* name, const String& text) {
  if (node.hasPattern) CheckFacets<VxVevAva5::ItemType_string>(name, text, node.pattern);
}

void CheckEnumeration(const Node& node, const unsigned short* name, const Taken& taken) {
  if (node.enumeration.empty()) return;
  for (const String& value : node.enumeration)
    if (value == taken.canonical) return;
  ThrowInvalid(name, taken.lexical,
               FormatString(VX_T("it is not one of the values enumerated by [%s]"),
                            node.name.c_str()));
}

Taken Check(const Node& node, const unsigned short* name, const String& text);

Taken CheckAtomic(const Node& node, const unsigned short* name, const String& text) {
  const SimpleTypeTable& t = *node.table;
  Taken taken;
  taken.lexical = CWhitespaceUtils::ApplyRule(t.whitespace, text);
  CheckPattern(node, name, taken.lexical);
  VxVariant value;
  value.FromString(taken.lexical, t.itemType, CWhitespaceUtils::WhitespaceRule_Preserve);
  CheckFacets(name, value, t.itemType, node.value);
  taken.canonical =
      t.itemType == VxVevAva5::ItemType_string ? taken.lexical : value.ToString(nullptr);
  return taken;
}

const unsigned short* const kItemSeparator = VX_T(" ");

Taken CheckList(const Node& node, const unsigned short* name, const String& text) {
  Taken taken;
  taken.lexical = CWhitespaceUtils::Collapse(text);
  const String& list = taken.lexical;
  size_t count = 0;
  for (size_t start = 0; start < list.size();) {
    size_t end = list.find(kItemSeparator[0], start);
    if (end == String::npos) end = list.size();
    const String item = list.substr(start, end - start);
    Taken one;
    try {
      one = Check(*node.item, name, item);
    } catch (CVxException& e) {
      ThrowInvalid(name, list,
                   FormatString(VX_T("the item [%s] is not a valid [%s]"), item.c_str(),
                                node.item->name.c_str()),
                   std::move(e));
    }
    if (count++ != 0) taken.canonical += kItemSeparator;
    taken.canonical += one.canonical;
    start = end + 1;
  }
  String expected;
  if (node.length > -1 && count != static_cast<size_t>(node.length))
    expected = FormatString(VX_T("%d"), node.length);
  else if (node.minLength > -1 && count < static_cast<size_t>(node.minLength))
    expected = FormatString(VX_T("at least %d"), node.minLength);
  else if (node.maxLength > -1 && count > static_cast<size_t>(node.maxLength))
    expected = FormatString(VX_T("at most %d"), node.maxLength);
  if (!expected.empty())
    ThrowInvalid(name, list,
                 FormatString(VX_T("the list has [%u] items where [%s] are expected"),
                              static_cast<unsigned>(count), expected.c_str()));
  CheckPattern(node, name, list);
  return taken;
}

Taken CheckUnion(const Node& node, const unsigned short* name, const String& text) {
  // The first member that takes the value gives it its meaning.
  for (const Node* member : node.members) {
    Taken taken;
    try {
      taken = Check(*member, name, text);
    } catch (const CVxException&) {
      continue;
    }
    CheckPattern(node, name, taken.lexical);
    return taken;
  }
  ThrowInvalid(name, VxVevAva5::CWhitespaceUtils::Preserve(text),
               FormatString(VX_T("it is valid for none of the member types of [%s]"),
                            node.name.c_str()));
}

Taken Check(const Node& node, const unsigned short* name, const String& text) {
  Taken taken;
  switch (node.table->variety) {
    case SimpleVariety_List:
      taken = CheckList(node, name, text);
      break;
    case SimpleVariety_Union:
      taken = CheckUnion(node, name, text);
      break;
    default:
      taken = CheckAtomic(node, name, text);
      break;
  }
  CheckEnumeration(node, name, taken);
  return taken;
}

// The nodes of every table checked so far.
class Nodes {
 public:
  static Nodes& Instance() {
    static Nodes instance;
    return instance;
  }

  // Built once for the program under the lock; each thread then keeps the
  // nodes it has used, so that checking a value takes no lock.
  const Node& Of(const SimpleTypeTable* table) {
    thread_local std::unordered_map<const SimpleTypeTable*, const Node*> known;
    auto found = known.find(table);
    if (found != known.end()) return *found->second;
    const Node* node;
    {
      std::lock_guard<std::mutex> guard(m_lock);
      node = &Build(table, table, 0);
    }
    known.emplace(table, node);
    return *node;
  }

 private:
  // Builds the node of `table` after those it refers to; `root` is the
  // table being checked, for the message.
  const Node& Build(const SimpleTypeTable* table, const SimpleTypeTable* root, int depth) {
    auto found = m_nodes.find(table);
    if (found != m_nodes.end()) return *found->second;
    if (depth >= kMaxNesting || table == nullptr)
      throw CVxException(FormatString(VX_T("The simple type [%s] nests more than %d types"),
                                      Units(root->name), kMaxNesting));
    auto node = std::make_unique<Node>();
    node->table = table;
    node->name = VxVevAva5::Utf16::Make(Units(table->name));
    if (table->variety == SimpleVariety_List) {
      node->item = &Build(table->item, root, depth + 1);
    } else if (table->variety == SimpleVariety_Union) {
      for (std::size_t i = 0; i < table->memberCount; ++i)
        node->members.push_back(&Build(table->members[i], root, depth + 1));
    }
    if (const FacetTable* f = table->facets) {
      if (f->pattern != nullptr && *f->pattern != 0) {
        FacetTable pattern;
        pattern.pattern = f->pattern;
        node->pattern = MakeRestrictions(&pattern);
        node->hasPattern = true;
      }
      if (table->variety == SimpleVariety_Atomic) {
        FacetTable rest = *f;
        rest.pattern = nullptr;
        rest.simpleType = nullptr;
        node->value = MakeRestrictions(&rest);
      } else {
        node->length = f->length;
        node->minLength = f->minLength;
        node->maxLength = f->maxLength;
      }
    }
    // The enumerated texts as the type reads them; one it cannot read stays
    // as written (and no value equals it but that very text).
    // (Read before they are the node's, which would check them against
    // themselves.)
    std::vector<String> enumeration;
    for (std::size_t i = 0; i < table->enumerationCount; ++i) {
      const String text = VxVevAva5::Utf16::Make(Units(table->enumeration[i]));
      try {
        enumeration.push_back(Check(*node, VX_T(""), text).canonical);
      } catch (const CVxException&) {
        enumeration.push_back(text);
      }
    }
    node->enumeration = std::move(enumeration);
    const Node& built = *node;
    m_nodes.emplace(table, std::move(node));
    return built;
  }

  std::mutex m_lock;
  std::unordered_map<const SimpleTypeTable*, std::unique_ptr<Node>> m_nodes;
};

}  // namespace

void CheckSimpleType(const SimpleTypeTable* type, const unsigned short* name, const String& text) {
  if (type == nullptr) return;
  Check(Nodes::Instance().Of(type), name != nullptr ? name : VX_T(""), text);
}

void CheckSimpleTypeText(const void* type, const unsigned short* name, const String& text) {
  CheckSimpleType(static_cast<const SimpleTypeTable*>(type), name, text);
}

}  // namespace VxVevAva5Data
