#include "InfosetDifference.h"

#include <vxbind/vxbind.h>

#include <algorithm>
#include <cstddef>
#include <iterator>
#include <map>
#include <string>
#include <vector>

namespace vxbind_tools {

using namespace VxVevAva5;

namespace {

const char kXsi[] = "http://www.w3.org/2001/XMLSchema-instance";

std::string U8(const String& text) { return Utf16::ToUtf8(text); }

std::string Name(const CXmlElement* e) {
  std::string ns = U8(e->GetNamespaceURI());
  return ns.empty() ? U8(e->GetLocalName()) : "{" + ns + "}" + U8(e->GetLocalName());
}

// Text without the white space at its ends.
std::string Trimmed(const std::string& text) {
  size_t first = text.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) return std::string();
  return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::string CanonicalDecimal(const std::string& text) {
  size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  size_t intStart = i;
  while (i < text.size() && IsDigit(text[i])) ++i;
  std::string integer = text.substr(intStart, i - intStart);
  std::string fraction;
  if (i < text.size() && text[i] == '.') {
    size_t fracStart = ++i;
    while (i < text.size() && IsDigit(text[i])) ++i;
    fraction = text.substr(fracStart, i - fracStart);
  }
  if (i != text.size() || (integer.empty() && fraction.empty())) return text;
  integer.erase(0, std::min(integer.find_first_not_of('0'), integer.size()));
  fraction.erase(fraction.find_last_not_of('0') + 1);
  if (integer.empty()) integer = "0";
  if (integer == "0" && fraction.empty()) negative = false;
  return (negative ? "-" : "") + integer + (fraction.empty() ? "" : "." + fraction);
}

namespace {

// An xsi:type value as "{namespace}local", its prefix resolved in `e`.
std::string ResolvedTypeName(const CXmlElement* e, const std::string& value) {
  std::string name = Trimmed(value);
  size_t colon = name.find(':');
  std::string prefix = colon == std::string::npos ? std::string() : name.substr(0, colon);
  String uri;
  if (!e->LookupNamespaceURI(Utf16::FromUtf8(prefix), uri)) return name;  // unbound: as written
  return "{" + U8(uri) + "}" + name.substr(colon == std::string::npos ? 0 : colon + 1);
}

// The attributes that carry data, each as "{namespace}name=value", sorted.
std::vector<std::string> Attributes(const CXmlElement* e, bool numbersByValue) {
  std::vector<std::string> all;
  for (const CXmlAttribute* at : e->GetAttributes()) {
    std::string ns = U8(at->GetNamespaceURI());
    std::string local = U8(at->GetLocalName());
    std::string value = U8(at->GetValue());
    if (ns == "http://www.w3.org/2000/xmlns/" || (ns.empty() && local == "xmlns")) continue;
    if (ns == kXsi && (local == "schemaLocation" || local == "noNamespaceSchemaLocation")) continue;
    if (ns == kXsi && local == "type") value = ResolvedTypeName(e, value);
    if (numbersByValue) value = CanonicalDecimal(value);
    all.push_back((ns.empty() ? local : "{" + ns + "}" + local) + "=" + value);
  }
  std::sort(all.begin(), all.end());
  return all;
}

// The first entry of `a` that `b` lacks (both sorted), "" when none.
std::string FirstMissing(const std::vector<std::string>& a, const std::vector<std::string>& b) {
  std::vector<std::string> missing;
  std::set_difference(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(missing));
  return missing.empty() ? std::string() : missing.front();
}

std::string AttributeDifference(const CXmlElement* x, const CXmlElement* y, bool numbersByValue) {
  std::vector<std::string> ax = Attributes(x, numbersByValue);
  std::vector<std::string> ay = Attributes(y, numbersByValue);
  if (ax == ay) return std::string();
  std::string lost = FirstMissing(ax, ay);
  std::string added = FirstMissing(ay, ax);
  std::string text;
  if (!lost.empty()) text = "attribute " + lost + " is missing";
  if (!added.empty())
    text += (text.empty() ? "" : ", ") + std::string("attribute ") + added + " appeared";
  return text;
}

std::string TextDifference(const CXmlElement* x, const CXmlElement* y, bool numbersByValue) {
  auto same = [numbersByValue](const std::string& a, const std::string& b) {
    return a == b || (numbersByValue && CanonicalDecimal(a) == CanonicalDecimal(b));
  };
  bool leaf = x->GetFirstElement() == nullptr && y->GetFirstElement() == nullptr;
  if (leaf) {
    std::string tx = U8(x->GetText());
    std::string ty = U8(y->GetText());
    if (same(tx, ty)) return std::string();
    return "text '" + tx + "' became '" + ty + "'";
  }
  // Between children the text stays in place: run k, before child k (the
  // last one after all children), is compared with its counterpart.
  const CXmlElement* px = nullptr;
  const CXmlElement* py = nullptr;
  const CXmlElement* cx = x->GetFirstElement();
  const CXmlElement* cy = y->GetFirstElement();
  for (int k = 1;; ++k) {
    std::string rx = Trimmed(U8(x->GetTextBetween(px, cx)));
    std::string ry = Trimmed(U8(y->GetTextBetween(py, cy)));
    if (!same(rx, ry))
      return "text '" + rx + "' " +
             (cx != nullptr ? "before child element " + std::to_string(k)
                            : std::string("after the child elements")) +
             " became '" + ry + "'";
    if (cx == nullptr || cy == nullptr) return std::string();
    px = cx;
    py = cy;
    cx = cx->GetNextSiblingElement();
    cy = cy->GetNextSiblingElement();
  }
}

}  // namespace

std::string InfosetDifference(const CXmlElement* expected, const CXmlElement* actual,
                              bool numbersByValue) {
  if (expected == nullptr || actual == nullptr)
    return expected == actual ? std::string() : std::string("one of the documents is empty");
  // Every element compared keeps its step of the path ("book[2]") and its
  // parent's number, so that a path is only spelled out for the report.
  struct Step {
    std::string name;
    size_t parent;
  };
  std::vector<Step> steps{{U8(expected->GetLocalName()), 0}};
  auto path = [&steps](size_t step) {
    std::vector<const std::string*> names;
    for (size_t s = step;; s = steps[s].parent) {
      names.push_back(&steps[s].name);
      if (s == 0) break;
    }
    std::string text;
    for (auto it = names.rbegin(); it != names.rend(); ++it) text += "/" + **it;
    return text;
  };
  struct Pair {
    const CXmlElement* x;
    const CXmlElement* y;
    size_t step;  // x's, or its parent's when x or y is missing
  };
  std::vector<Pair> stack{{expected, actual, 0}};
  while (!stack.empty()) {
    Pair p = stack.back();
    stack.pop_back();
    if (p.y == nullptr) return path(p.step) + ": element " + Name(p.x) + " is missing";
    if (p.x == nullptr) return path(p.step) + ": element " + Name(p.y) + " appeared";
    if (p.x->GetLocalName() != p.y->GetLocalName() ||
        p.x->GetNamespaceURI() != p.y->GetNamespaceURI())
      return path(p.step) + ": element " + Name(p.x) + " became " + Name(p.y);
    std::string difference = AttributeDifference(p.x, p.y, numbersByValue);
    if (difference.empty()) difference = TextDifference(p.x, p.y, numbersByValue);
    if (!difference.empty()) return path(p.step) + ": " + difference;

    // The children, pushed last first so that the first difference in
    // document order is the one reported.
    size_t first = stack.size();
    std::map<String, int> seen;
    const CXmlElement* cx = p.x->GetFirstElement();
    const CXmlElement* cy = p.y->GetFirstElement();
    for (; cx || cy; cx = cx ? cx->GetNextSiblingElement() : nullptr,
                     cy = cy ? cy->GetNextSiblingElement() : nullptr) {
      size_t step = p.step;
      if (cx != nullptr && cy != nullptr) {
        int index = ++seen[cx->GetLocalName()];
        steps.push_back(Step{
            U8(cx->GetLocalName()) + (index > 1 ? "[" + std::to_string(index) + "]" : ""), p.step});
        step = steps.size() - 1;
      }
      stack.push_back(Pair{cx, cy, step});
    }
    std::reverse(stack.begin() + static_cast<std::ptrdiff_t>(first), stack.end());
  }
  return std::string();
}

}  // namespace vxbind_tools
