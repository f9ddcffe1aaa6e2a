#include "InfosetDifference.h"

#include <vxbind/vxbind.h>

#include <algorithm>
#include <cstddef>
#include <iterator>
#include <map>
#include <regex>
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

// [sign] digits [. digits], a digit at least.
bool IsDecimal(const std::string& text) {
  size_t i = !text.empty() && (text[0] == '+' || text[0] == '-') ? 1 : 0;
  bool digit = false;
  for (; i < text.size() && IsDigit(text[i]); ++i) digit = true;
  if (i < text.size() && text[i] == '.') ++i;
  for (; i < text.size() && IsDigit(text[i]); ++i) digit = true;
  return digit && i == text.size();
}

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

std::string CanonicalTime(const std::string& text) {
  // [date 'T'] hh:mm:ss [.fraction] [timezone]
  static const std::regex time(
      "(-?[0-9]{4,}-[0-9]{2}-[0-9]{2}T)?([0-9]{2}:[0-9]{2}:[0-9]{2})(\\.[0-9]+)?"
      "(Z|[+-][0-9]{2}:[0-9]{2})?");
  std::smatch m;
  if (!std::regex_match(text, m, time)) return text;
  std::string fraction = m[3].str();
  fraction.erase(fraction.find_last_not_of('0') + 1);
  if (fraction == ".") fraction.clear();
  std::string zone = m[4].str();
  if (zone == "+00:00" || zone == "-00:00") zone = "Z";
  return m[1].str() + m[2].str() + fraction + zone;
}

namespace {

// A floating-point number in exponent notation with its mantissa and
// exponent each in one spelling (1.50E+07 -> 1.5e7); the text itself when
// it is none.
std::string CanonicalExponent(const std::string& text) {
  size_t e = text.find_first_of("eE");
  if (e == std::string::npos) return text;
  std::string mantissa = text.substr(0, e);
  std::string exponent = text.substr(e + 1);
  if (!IsDecimal(mantissa) || !IsDecimal(exponent) || exponent.find('.') != std::string::npos)
    return text;
  return CanonicalDecimal(mantissa) + "e" + CanonicalDecimal(exponent);
}

// The spelling of a value that --numbers-by-value compares. A number, a
// time or a boolean may have white space around it, which XML Schema
// collapses; other text keeps its white space.
// Base64 (or hexadecimal) data broken into lines loses its line breaks, and
// a value read with white space around it that holds a line break (a
// pretty-printed anyURI or token) loses it: XML Schema collapses both.
std::string CanonicalValue(const std::string& text) {
  std::string value = Trimmed(text);
  if (text.find('\n') != std::string::npos) {
    std::string packed;
    for (char c : value)
      if (c != ' ' && c != '\t' && c != '\r' && c != '\n') packed += c;
    if (packed.size() >= 16 &&
        packed.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"
                                 "0123456789+/=") == std::string::npos)
      return packed;
    if (value.find_first_of(" \t\r\n") == std::string::npos) return value;
  }
  std::string canonical = CanonicalDecimal(value);
  if (canonical == value) canonical = CanonicalExponent(value);
  if (canonical == value) canonical = CanonicalTime(value);
  if (canonical != value || IsDecimal(value) || value == "true" || value == "false")
    return canonical;
  return text;
}

// Nothing but white space with a line break: the indentation a document
// leaves in an element of element-only content that has no children.
bool IsIndentation(const std::string& text) {
  return text.find('\n') != std::string::npos &&
         text.find_first_not_of(" \t\r\n") == std::string::npos;
}

// An xsi:type value as "{namespace}local", its prefix resolved in `e`.
std::string ResolvedTypeName(const CXmlElement* e, const std::string& value) {
  std::string name = Trimmed(value);
  size_t colon = name.find(':');
  std::string prefix = colon == std::string::npos ? std::string() : name.substr(0, colon);
  String uri;
  if (!e->LookupNamespaceURI(Utf16::FromUtf8(prefix), uri)) return name;  // unbound: as written
  return "{" + U8(uri) + "}" + name.substr(colon == std::string::npos ? 0 : colon + 1);
}

// A text that has the form of a QName ("p:local" or "local") as
// "{namespace}local", its prefix resolved in `e` (no prefix: the default
// namespace); "" for any other text and for an unbound prefix. Binding may
// write a QName value with another prefix than it was read with.
std::string ResolvedQName(const CXmlElement* e, const std::string& text) {
  const std::string& name = text;
  size_t colon = name.find(':');
  size_t start = colon == std::string::npos ? 0 : colon + 1;
  if (name.empty() || colon == 0 || start == name.size() ||
      name.find_first_of(" \t\n\r/:", start) != std::string::npos ||
      name.find_first_of(" \t\n\r/") < start)
    return std::string();
  String uri;
  std::string prefix = colon == std::string::npos ? std::string() : name.substr(0, colon);
  if (!e->LookupNamespaceURI(Utf16::FromUtf8(prefix), uri) && !prefix.empty()) return std::string();
  return "{" + U8(uri) + "}" + name.substr(start);
}

// Whether two values that differ as text name the same QNames where they
// stand, read as QNames or as lists of them (items apart by one space).
bool SameQName(const CXmlElement* x, const std::string& tx, const CXmlElement* y,
               const std::string& ty) {
  size_t i = 0;
  size_t j = 0;
  for (;;) {
    size_t ei = std::min(tx.find(' ', i), tx.size());
    size_t ej = std::min(ty.find(' ', j), ty.size());
    std::string rx = ResolvedQName(x, tx.substr(i, ei - i));
    if (rx.empty() || rx != ResolvedQName(y, ty.substr(j, ej - j))) return false;
    if (ei == tx.size() || ej == ty.size()) return ei == tx.size() && ej == ty.size();
    i = ei + 1;
    j = ej + 1;
  }
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
    if (numbersByValue) value = CanonicalValue(value);
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
  // The same names, and values that differ only in a QName's prefix.
  bool same = ax.size() == ay.size();
  for (size_t i = 0; same && i < ax.size(); ++i) {
    size_t ex = ax[i].find('=');
    size_t ey = ay[i].find('=');
    same = ax[i].compare(0, ex, ay[i], 0, ey) == 0 &&
           (ax[i] == ay[i] || SameQName(x, ax[i].substr(ex + 1), y, ay[i].substr(ey + 1)));
  }
  if (same) return std::string();
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
    return a == b || (numbersByValue && CanonicalValue(a) == CanonicalValue(b));
  };
  bool leaf = x->GetFirstElement() == nullptr && y->GetFirstElement() == nullptr;
  if (leaf) {
    std::string tx = U8(x->GetText());
    std::string ty = U8(y->GetText());
    if (same(tx, ty) || SameQName(x, tx, y, ty) || (tx.empty() && IsIndentation(ty)) ||
        (ty.empty() && IsIndentation(tx)))
      return std::string();
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
