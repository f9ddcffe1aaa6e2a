#include "vxbind/conversions/WhitespaceUtils.h"

#include "vxbind/base/Exceptions.h"

namespace VxVevAva5 {

namespace {

const unsigned short kCR = 0x0D;
const unsigned short kSpace = 0x20;

String PreserveRange(const unsigned short* first, const unsigned short* last) {
  const unsigned short* p = first;
  while (p != last && *p != kCR) ++p;
  if (p == last) return String(first, last);  // common case: nothing to drop
  String out;
  out.reserve(static_cast<size_t>(last - first));
  out.append(first, p);
  for (; p != last; ++p)
    if (*p != kCR) out.push_back(*p);
  return out;
}

}  // namespace

String CWhitespaceUtils::Preserve(const unsigned short* text, int count) {
  if (count < 0)
    throw CVxInvalidParamException(
        FormatString(VX_T("Preserve was given a negative length [%d]"), count));
  if (count == 0) return String();
  if (text == nullptr)
    throw CVxInvalidParamException(VX_T("Preserve was given a null text"));
  return PreserveRange(text, text + count);
}

String CWhitespaceUtils::Preserve(const String& text) {
  return PreserveRange(text.data(), text.data() + text.size());
}

String CWhitespaceUtils::Replace(const String& text) {
  size_t i = 0;
  const size_t n = text.size();
  while (i != n && !IsWhiteSpace(text[i])) ++i;
  if (i == n) return text;  // no whitespace at all: an unchanged copy
  String out;
  out.reserve(n);
  out.append(text, 0, i);
  for (; i != n; ++i) {
    unsigned short c = text[i];
    if (c == kCR) continue;
    out.push_back(IsWhiteSpace(c) ? kSpace : c);
  }
  return out;
}

String CWhitespaceUtils::Collapse(const String& text) {
  String out;
  out.reserve(text.size());
  bool atSpace = true;  // set at the start, so leading whitespace is dropped
  for (unsigned short c : text) {
    if (c == kCR) continue;  // neither a space nor the end of a run
    if (IsWhiteSpace(c)) {
      if (!atSpace) {
        out.push_back(kSpace);
        atSpace = true;
      }
    } else {
      out.push_back(c);
      atSpace = false;
    }
  }
  if (!out.empty() && out.back() == kSpace) out.pop_back();
  return out;
}

String CWhitespaceUtils::ApplyRule(WhitespaceRule rule, const String& text) {
  switch (rule) {
    case WhitespaceRule_Preserve:
      return Preserve(text);
    case WhitespaceRule_Replace:
      return Replace(text);
    case WhitespaceRule_Collapse:
      return Collapse(text);
  }
  throw CVxException(VX_T("Unknown WhitespaceRule"));
}

}  // namespace VxVevAva5
