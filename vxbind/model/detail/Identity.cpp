#include "vxbind/model/detail/Identity.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <limits>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "vxbind/base/Exceptions.h"
#include "vxbind/document/XmlDocument.h"
#include "vxbind/model/detail/Nil.h"
#include "vxbind/platform/Format.h"
#include "vxbind/platform/Utf16.h"

namespace VxVevAva5 {
namespace detail {

using VxVevAva5Data::IdentityConstraint;
using VxVevAva5Data::IdentityField;
using VxVevAva5Data::IdentityKind_Key;
using VxVevAva5Data::IdentityKind_KeyRef;
using VxVevAva5Data::IdentityPath;
using VxVevAva5Data::IdentityStep;
using VxVevAva5Data::IdentityTable;
using VxVevAva5Data::IdentityValue;
using VxVevAva5Data::IdentityXPath;
using VxVevAva5Data::IdKind;

namespace {

thread_local CIdentityChecks* t_checks = nullptr;

const unsigned short* Units(const char16_t* text) {
  return reinterpret_cast<const unsigned short*>(text != nullptr ? text : u"");
}

bool Is(const String& text, const char16_t* literal) { return text.compare(Units(literal)) == 0; }

// Not noexcept: the hash tables then keep each entry's hash, and walking a
// bucket compares those instead of hashing every text in it again.
struct StringHash {
  size_t operator()(const String& text) const {
    uint64_t hash = 14695981039346656037ull;
    for (unsigned short unit : text) {
      hash ^= unit;
      hash *= 1099511628211ull;
    }
    return static_cast<size_t>(hash);
  }
};

// Appends `length` units of text with XML white space collapsed: runs
// made one space, none at either end.
void AppendCollapsed(String& out, const unsigned short* data, size_t length) {
  bool space = false, any = false;
  for (size_t i = 0; i < length; ++i) {
    if (Utf16::IsXmlSpace(data[i])) {
      space = any;
      continue;
    }
    if (space) out += ' ';
    space = false;
    any = true;
    out += data[i];
  }
}

String Collapse(const unsigned short* data, size_t length) {
  String out;
  out.reserve(length);
  AppendCollapsed(out, data, length);
  return out;
}

bool IsDigit(unsigned short c) { return c >= '0' && c <= '9'; }

// A decimal's canonical text (no sign on zero, no leading or trailing
// zeros, no "." without fraction); `text` itself when it is no decimal.
String CanonicalDecimal(const String& text) {
  const size_t n = text.size();
  size_t i = 0;
  bool negative = false;
  if (i < n && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  size_t intStart = i;
  while (i < n && IsDigit(text[i])) ++i;
  size_t intEnd = i;
  size_t fracStart = i, fracEnd = i;
  if (i < n && text[i] == '.') {
    fracStart = ++i;
    while (i < n && IsDigit(text[i])) ++i;
    fracEnd = i;
  }
  if (i != n || (intStart == intEnd && fracStart == fracEnd)) return text;
  while (intStart < intEnd && text[intStart] == '0') ++intStart;
  while (fracEnd > fracStart && text[fracEnd - 1] == '0') --fracEnd;
  if (intStart == intEnd && fracStart == fracEnd) return String(1, '0');
  String out;
  if (negative) out += '-';
  if (intStart == intEnd)
    out += '0';
  else
    out.append(text, intStart, intEnd - intStart);
  if (fracEnd > fracStart) {
    out += '.';
    out.append(text, fracStart, fracEnd - fracStart);
  }
  return out;
}

// A float's or double's value as the shortest text that gives it back
// (zero without sign); `text` itself when it is no number of the type.
String CanonicalFloat(const String& text, bool single) {
  if (Is(text, u"INF") || Is(text, u"-INF") || Is(text, u"NaN")) return text;
  std::string ascii;
  for (unsigned short c : text) {
    if (!IsDigit(c) && c != '.' && c != 'e' && c != 'E' && c != '+' && c != '-') return text;
    ascii += static_cast<char>(c);
  }
  const char* begin = ascii.data();
  const char* end = begin + ascii.size();
  if (begin != end && *begin == '+') ++begin;
  double value = 0;
  std::from_chars_result parsed = std::from_chars(begin, end, value);
  if (parsed.ec != std::errc() || parsed.ptr != end) return text;
  if (value == 0) return String(1, '0');
  char buffer[64];
  std::to_chars_result printed =
      single ? std::to_chars(buffer, buffer + sizeof buffer, static_cast<float>(value))
             : std::to_chars(buffer, buffer + sizeof buffer, value);
  return String(buffer, printed.ptr);
}

// A field's value as its type compares it, appended to `key`.
void AppendNormalized(String& key, IdentityValue kind, const unsigned short* data, size_t length);
String Normalize(IdentityValue kind, const unsigned short* data, size_t length) {
  switch (kind) {
    case VxVevAva5Data::IdentityValue_String:
      return String(data, length);
    case VxVevAva5Data::IdentityValue_Replaced: {
      String out(data, length);
      for (unsigned short& c : out)
        if (Utf16::IsXmlSpace(c)) c = ' ';
      return out;
    }
    case VxVevAva5Data::IdentityValue_Decimal:
      return CanonicalDecimal(Collapse(data, length));
    case VxVevAva5Data::IdentityValue_Float:
    case VxVevAva5Data::IdentityValue_Double:
      return CanonicalFloat(Collapse(data, length), kind == VxVevAva5Data::IdentityValue_Float);
    case VxVevAva5Data::IdentityValue_Boolean: {
      String text = Collapse(data, length);
      if (Is(text, u"1")) return Units(u"true");
      if (Is(text, u"0")) return Units(u"false");
      return text;
    }
    case VxVevAva5Data::IdentityValue_Text:
      break;
  }
  return Collapse(data, length);
}

void AppendNormalized(String& key, IdentityValue kind, const unsigned short* data, size_t length) {
  if (kind == VxVevAva5Data::IdentityValue_Text)
    AppendCollapsed(key, data, length);
  else
    key += Normalize(kind, data, length);
}

// xsi:nil="true" (or "1") on the element.
bool IsNil(const CXmlElement& element) {
  const CXmlAttribute* nil = FindXsiNil(element);
  if (nil == nullptr) return false;
  size_t length;
  const unsigned short* data = nil->GetValueData(length);
  String value = Collapse(data, length);
  return Is(value, u"true") || Is(value, u"1");
}

bool NamesMatch(const IdentityStep& step, const String& ns, const String& name) {
  switch (step.kind) {
    case VxVevAva5Data::IdentityStep_Child:
    case VxVevAva5Data::IdentityStep_Attribute:
      return name.compare(Units(step.name)) == 0 && ns.compare(Units(step.ns)) == 0;
    case VxVevAva5Data::IdentityStep_ChildInNamespace:
    case VxVevAva5Data::IdentityStep_AttributeInNamespace:
      return ns.compare(Units(step.ns)) == 0;
    case VxVevAva5Data::IdentityStep_AnyChild:
    case VxVevAva5Data::IdentityStep_AnyAttribute:
      return true;
  }
  return false;
}

bool IsAttributeStep(const IdentityStep& step) {
  return step.kind == VxVevAva5Data::IdentityStep_Attribute ||
         step.kind == VxVevAva5Data::IdentityStep_AttributeInNamespace ||
         step.kind == VxVevAva5Data::IdentityStep_AnyAttribute;
}

// The path's child steps: all of them but a last attribute step.
size_t ElementSteps(const IdentityPath& path) {
  if (path.stepCount != 0 && IsAttributeStep(path.steps[path.stepCount - 1]))
    return path.stepCount - 1;
  return path.stepCount;
}

// What a field selected: an element or an attribute of one.
struct FieldNode {
  const CXmlElement* element;
  const CXmlAttribute* attribute;
  bool operator==(const FieldNode& other) const {
    return element == other.element && attribute == other.attribute;
  }
};

// A key or unique constraint's table at one element: its key sequences
// and the elements that have them.
using KeyTable = std::unordered_map<String, const CXmlElement*, StringHash>;

}  // namespace

class CIdentityChecks {
 public:
  explicit CIdentityChecks(const CXmlElement& root) : m_root(root) {}

  void NoteIdValues(IdKind kind, const unsigned short* data, size_t length,
                    const CXmlElement& owner, const void* node);
  void NoteConstrained(const IdentityTable& table, const CXmlElement& element);
  void Finish();

 private:
  struct Constrained {
    const CXmlElement* element;
    const IdentityTable* table;
    size_t pre = 0;   // its number in document order (the root's is 0)
    size_t post = 0;  // the number of the last element of its subtree
  };
  // One key or unique constraint's table at one element.
  struct Instance {
    size_t pre;
    KeyTable keys;
  };
  struct Reference {
    String value;
    const CXmlElement* element;
  };

  void NumberConstrained();
  // The nodes that the selector selects from `context`, in document order.
  void Select(const IdentityXPath& selector, const CXmlElement& context,
              std::vector<const CXmlElement*>& out);
  // The nodes that the XPath selects from `context`; `match` is called with
  // each element at its depth under `context` (`m_path` holding the
  // ancestors down to it) for every path whose child steps it matches.
  template <class Match>
  void Walk(const IdentityXPath& xpath, const CXmlElement& context, Match match);
  void EvaluateField(const IdentityField& field, const CXmlElement& context,
                     std::vector<FieldNode>& out);
  // Checks one constraint at `element`: a key or unique into `table`, a
  // keyref against `referenced` (null: none in scope).
  void Check(const IdentityConstraint& constraint, const CXmlElement& element, KeyTable* table,
             const std::vector<const KeyTable*>* referenced);
  [[noreturn]] void ThrowAt(const CXmlElement& node, String message);

  const CXmlElement& m_root;
  std::unordered_map<String, const void*, StringHash> m_ids;
  std::vector<Reference> m_references;
  std::vector<Constrained> m_constrained;
  std::unordered_map<const CXmlElement*, size_t> m_constrainedIndex;
  std::vector<const CXmlElement*> m_path;  // Walk's ancestors
  std::vector<const CXmlElement*> m_targets;
  std::vector<FieldNode> m_fieldNodes;
};

void CIdentityChecks::NoteIdValues(IdKind kind, const unsigned short* data, size_t length,
                                   const CXmlElement& owner, const void* node) {
  String text = Collapse(data, length);
  const bool ids = kind == VxVevAva5Data::IdKind_Id || kind == VxVevAva5Data::IdKind_Ids;
  const bool list = kind == VxVevAva5Data::IdKind_Ids || kind == VxVevAva5Data::IdKind_IdRefs;
  size_t at = 0;
  do {
    size_t end = list ? text.find(' ', at) : String::npos;
    if (end == String::npos) end = text.size();
    String value = text.substr(at, end - at);
    at = end + 1;
    if (list && value.empty()) continue;  // an empty list
    if (!ids) {
      m_references.push_back(Reference{std::move(value), &owner});
      continue;
    }
    // The same node again is a member read once more (a model group tried
    // twice), not a second ID.
    auto found = m_ids.emplace(std::move(value), node);
    if (!found.second && found.first->second != node)
      throw CVxValidationException(
          FormatString(VX_T("Duplicate ID value [%s]"), found.first->first.c_str()));
  } while (at < text.size());
}

void CIdentityChecks::NoteConstrained(const IdentityTable& table, const CXmlElement& element) {
  auto found = m_constrainedIndex.emplace(&element, m_constrained.size());
  if (found.second)
    m_constrained.push_back(Constrained{&element, &table});
  else
    m_constrained[found.first->second].table = &table;  // read again: the last reading counts
}

void CIdentityChecks::Finish() {
  for (const Reference& reference : m_references)
    if (m_ids.find(reference.value) == m_ids.end())
      ThrowAt(*reference.element, FormatString(VX_T("The IDREF value [%s] does not match any ID"),
                                               reference.value.c_str()));
  if (m_constrained.empty()) return;
  NumberConstrained();
  std::sort(m_constrained.begin(), m_constrained.end(),
            [](const Constrained& a, const Constrained& b) { return a.pre < b.pre; });

  // The key and unique tables first, in document order, so that a keyref
  // finds those of its element's subtree among the instances of its
  // referenced constraint, kept by name in document order.
  std::unordered_map<String, std::vector<Instance>, StringHash> instances;
  auto qualified = [](const char16_t* ns, const char16_t* name) {
    String key(Units(ns));
    key += static_cast<unsigned short>(0);
    key += Units(name);
    return key;
  };
  for (const Constrained& entry : m_constrained)
    for (size_t i = 0; i < entry.table->count; ++i) {
      const IdentityConstraint& constraint = entry.table->constraints[i];
      if (constraint.kind == IdentityKind_KeyRef) continue;
      std::vector<Instance>& list = instances[qualified(constraint.ns, constraint.name)];
      list.push_back(Instance{entry.pre, KeyTable()});
      Check(constraint, *entry.element, &list.back().keys, nullptr);
    }
  std::vector<const KeyTable*> referenced;
  for (const Constrained& entry : m_constrained)
    for (size_t i = 0; i < entry.table->count; ++i) {
      const IdentityConstraint& constraint = entry.table->constraints[i];
      if (constraint.kind != IdentityKind_KeyRef) continue;
      // The referenced constraint's tables at the element and below it.
      referenced.clear();
      auto found = instances.find(qualified(constraint.referNamespace, constraint.referName));
      if (found != instances.end()) {
        const std::vector<Instance>& list = found->second;
        auto first = std::lower_bound(
            list.begin(), list.end(), entry.pre,
            [](const Instance& instance, size_t pre) { return instance.pre < pre; });
        for (auto it = first; it != list.end() && it->pre <= entry.post; ++it)
          referenced.push_back(&it->keys);
      }
      Check(constraint, *entry.element, nullptr, &referenced);
    }
}

void CIdentityChecks::NumberConstrained() {
  // One walk of the document: each element numbered as met; a constrained
  // one also notes the last number of its subtree when the walk leaves it.
  std::vector<const CXmlElement*> stack;
  std::vector<size_t> open;  // the constrained elements entered and not left
  size_t counter = 0;
  auto enter = [&](const CXmlElement* node) {
    auto found = m_constrainedIndex.find(node);
    if (found != m_constrainedIndex.end()) {
      m_constrained[found->second].pre = counter;
      open.push_back(found->second);
    }
    ++counter;
  };
  auto leave = [&](const CXmlElement* node) {
    if (!open.empty() && m_constrained[open.back()].element == node) {
      m_constrained[open.back()].post = counter - 1;
      open.pop_back();
    }
  };
  const CXmlElement* node = &m_root;
  for (;;) {
    enter(node);
    if (const CXmlElement* child = node->GetFirstElement()) {
      stack.push_back(node);
      node = child;
      continue;
    }
    leave(node);
    for (;;) {
      if (node == &m_root) return;
      if (const CXmlElement* next = node->GetNextSiblingElement()) {
        node = next;
        break;
      }
      node = stack.back();
      stack.pop_back();
      leave(node);
    }
  }
}

template <class Match>
void CIdentityChecks::Walk(const IdentityXPath& xpath, const CXmlElement& context, Match match) {
  // Below the depth of the longest path nothing matches, unless a path
  // starts with ".//".
  size_t maxDepth = 0;
  for (size_t p = 0; p < xpath.pathCount; ++p) {
    const IdentityPath& path = xpath.paths[p];
    maxDepth = path.descendant ? std::numeric_limits<size_t>::max()
                               : std::max(maxDepth, ElementSteps(path));
  }
  auto visit = [&]() {
    const size_t depth = m_path.size() - 1;
    for (size_t p = 0; p < xpath.pathCount; ++p) {
      const IdentityPath& path = xpath.paths[p];
      const size_t steps = ElementSteps(path);
      if (path.descendant ? depth < steps : depth != steps) continue;
      bool matches = true;
      for (size_t s = 0; s < steps && matches; ++s) {
        const CXmlElement* node = m_path[depth - steps + 1 + s];
        matches = NamesMatch(path.steps[s], node->GetNamespaceURI(), node->GetLocalName());
      }
      if (matches && !match(path, *m_path.back())) return;
    }
  };
  m_path.clear();
  m_path.push_back(&context);
  visit();
  for (;;) {
    const CXmlElement* child =
        m_path.size() - 1 < maxDepth ? m_path.back()->GetFirstElement() : nullptr;
    if (child == nullptr) {
      // On to the next sibling of the element or of its nearest ancestor
      // that has one, never beyond the context.
      while (m_path.size() > 1 && child == nullptr) {
        child = m_path.back()->GetNextSiblingElement();
        m_path.pop_back();
      }
      if (child == nullptr) return;
    }
    m_path.push_back(child);
    visit();
  }
}

void CIdentityChecks::Select(const IdentityXPath& selector, const CXmlElement& context,
                             std::vector<const CXmlElement*>& out) {
  out.clear();
  // One match per element is enough: it is selected.
  Walk(selector, context, [&](const IdentityPath&, const CXmlElement& node) {
    out.push_back(&node);
    return false;
  });
}

void CIdentityChecks::EvaluateField(const IdentityField& field, const CXmlElement& context,
                                    std::vector<FieldNode>& out) {
  out.clear();
  auto add = [&](FieldNode node) {
    if (std::find(out.begin(), out.end(), node) == out.end()) out.push_back(node);
  };
  Walk(field.path, context, [&](const IdentityPath& path, const CXmlElement& node) {
    if (ElementSteps(path) == path.stepCount) {
      add(FieldNode{&node, nullptr});
      return true;
    }
    const IdentityStep& last = path.steps[path.stepCount - 1];
    const size_t count = node.GetAttributeCount();
    for (size_t a = 0; a < count; ++a) {
      const CXmlAttribute& attribute = node.GetAttributeAt(a);
      if (attribute.IsNamespaceAttribute()) continue;
      if (NamesMatch(last, attribute.GetNamespaceURI(), attribute.GetLocalName()))
        add(FieldNode{&node, &attribute});
    }
    return true;
  });
}

void CIdentityChecks::Check(const IdentityConstraint& constraint, const CXmlElement& element,
                            KeyTable* table, const std::vector<const KeyTable*>* referenced) {
  const unsigned short* name = Units(constraint.name);
  Select(constraint.selector, element, m_targets);
  String key;
  // The values as the document has them, white space collapsed, for a
  // message.
  std::vector<std::pair<const unsigned short*, size_t>> values;
  auto shown = [&values]() {
    String text;
    for (size_t i = 0; i < values.size(); ++i) {
      if (i != 0) text += VX_T(", ");
      AppendCollapsed(text, values[i].first, values[i].second);
    }
    return text;
  };
  for (const CXmlElement* target : m_targets) {
    key.clear();
    values.clear();
    bool complete = true;
    for (size_t f = 0; f < constraint.fieldCount; ++f) {
      const IdentityField& field = constraint.fields[f];
      EvaluateField(field, *target, m_fieldNodes);
      if (m_fieldNodes.size() > 1)
        ThrowAt(*target, FormatString(VX_T("The field [%s] of [%s] selects more than one node"),
                                      Units(field.path.text), name));
      const unsigned short* data = nullptr;
      size_t length = 0;
      if (!m_fieldNodes.empty()) {
        const FieldNode& node = m_fieldNodes.front();
        if (node.attribute != nullptr) {
          data = node.attribute->GetValueData(length);
        } else if (node.element->GetFirstElement() != nullptr) {
          ThrowAt(*target,
                  FormatString(VX_T("The field [%s] of [%s] selects the element [%s], "
                                    "which has child elements"),
                               Units(field.path.text), name, node.element->GetLocalName().c_str()));
        } else if (!IsNil(*node.element)) {
          data = node.element->GetTextData(length);
          if (data == nullptr) data = VX_T("");
        }
      }
      if (data == nullptr) {
        if (constraint.kind == IdentityKind_Key)
          ThrowAt(*target, FormatString(VX_T("Missing field [%s] for the key [%s]"),
                                        Units(field.path.text), name));
        complete = false;  // not in the table: unique and keyref leave it
        break;
      }
      if (f != 0) key += static_cast<unsigned short>(0);
      AppendNormalized(key, field.value, data, length);
      values.emplace_back(data, length);
    }
    if (!complete) continue;
    if (table != nullptr) {
      auto found = table->emplace(key, target);
      if (!found.second && found.first->second != target)
        ThrowAt(*target,
                FormatString(constraint.kind == IdentityKind_Key
                                 ? VX_T("Duplicate key value [%s] for the key [%s]")
                                 : VX_T("Duplicate key value [%s] for the unique constraint [%s]"),
                             shown().c_str(), name));
      continue;
    }
    bool matched = false;
    for (const KeyTable* keys : *referenced) matched = matched || keys->count(key) != 0;
    if (!matched)
      ThrowAt(*target, FormatString(VX_T("The keyref [%s] value [%s] matches no key of [%s]"), name,
                                    shown().c_str(), Units(constraint.referName)));
  }
}

void CIdentityChecks::ThrowAt(const CXmlElement& node, String message) {
  // The elements from the root down to `node`, found by walking the tree.
  std::vector<const CXmlElement*> path{&m_root};
  while (path.back() != &node) {
    const CXmlElement* next = path.back()->GetFirstElement();
    while (next == nullptr && path.size() > 1) {
      next = path.back()->GetNextSiblingElement();
      path.pop_back();
    }
    if (next == nullptr) {  // not in the document: at the root
      path.assign(1, &m_root);
      break;
    }
    path.push_back(next);
  }
  // The root's own link is added by the read that catches this.
  std::unique_ptr<CVxValidationException> failure(new CVxValidationException(std::move(message)));
  failure->SetPosition(node.GetLineNumber(), node.GetColumnNumber());
  for (size_t i = path.size() - 1; i >= 1; --i) {
    const CXmlElement* level = path[i];
    failure.reset(new CVxValidationException(
        FormatString(VX_T("Failed to process the element [%s]"), level->GetLocalName().c_str()),
        std::move(*failure)));
    failure->SetPosition(node.GetLineNumber(), node.GetColumnNumber());
  }
  throw CVxValidationException(*failure);
}

// -- The scope and the hooks ---------------------------------------------------------

CIdentityScope::CIdentityScope(const CXmlElement& root, const IdentityTable* rootIdentity)
    : m_checks(new CIdentityChecks(root)), m_outer(t_checks) {
  t_checks = m_checks.get();
  if (rootIdentity != nullptr) m_checks->NoteConstrained(*rootIdentity, root);
}

CIdentityScope::~CIdentityScope() { t_checks = m_outer; }

void CIdentityScope::Finish() { m_checks->Finish(); }

bool IdentityChecksActive() { return t_checks != nullptr; }

void* SetIdentityChecksAside() {
  CIdentityChecks* checks = t_checks;
  t_checks = nullptr;
  return checks;
}

void PutIdentityChecksBack(void* checks) { t_checks = static_cast<CIdentityChecks*>(checks); }

void NoteElements(IdKind kind, const IdentityTable* identity, const String& name,
                  const CXmlElement* first, const CXmlElement* end) {
  CIdentityChecks* checks = t_checks;
  if (checks == nullptr) return;
  for (const CXmlElement* e = first; e != nullptr && e != end; e = e->GetNextSiblingElement()) {
    if (e->GetLocalName() != name) continue;
    if (identity != nullptr) checks->NoteConstrained(*identity, *e);
    if (kind == VxVevAva5Data::IdKind_None || e->GetFirstElement() != nullptr || IsNil(*e))
      continue;
    size_t length;
    const unsigned short* data = e->GetTextData(length);
    try {
      checks->NoteIdValues(kind, data, length, *e, e);
    } catch (CVxException& failure) {
      // The element at fault may be one of a run that its member read: its
      // own link says which, and where.
      failure.SetPosition(e->GetLineNumber(), e->GetColumnNumber());
      throw CVxValidationException(
          FormatString(VX_T("Failed to process the element [%s]"), e->GetLocalName().c_str()),
          std::move(failure));
    }
  }
}

void NoteAttribute(IdKind kind, const CXmlAttribute& attribute, const CXmlElement& owner) {
  CIdentityChecks* checks = t_checks;
  if (checks == nullptr) return;
  size_t length;
  const unsigned short* data = attribute.GetValueData(length);
  checks->NoteIdValues(kind, data, length, owner, &attribute);
}

}  // namespace detail
}  // namespace VxVevAva5
