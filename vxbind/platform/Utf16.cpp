// UTF-16 helpers: the wide-character C functions rebuilt over narrow ones.
#include "vxbind/platform/Utf16.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <locale.h>

namespace VxVevAva5 {
namespace Utf16 {
namespace {

// Numbers are parsed by the narrow C functions: the ASCII prefix of the text
// is copied into this buffer (on the stack for ordinary lengths).
class NarrowCopy {
 public:
  explicit NarrowCopy(const unsigned short* text) {
    if (text == nullptr) text = reinterpret_cast<const unsigned short*>(u"");
    size_t n = 0;
    while (text[n] != 0 && text[n] < 0x80) ++n;
    char* dst = stack_;
    if (n >= sizeof(stack_)) {
      heap_.resize(n + 1);
      dst = &heap_[0];
    }
    for (size_t i = 0; i < n; ++i) dst[i] = static_cast<char>(text[i]);
    dst[n] = '\0';
    data_ = dst;
    text_ = text;
  }
  const char* c_str() const { return data_; }
  const unsigned short* Map(const char* end) const { return text_ + (end - data_); }
  // The sign character after leading white space, or 0.
  char Sign() const {
    const char* p = data_;
    while (*p == ' ' || (*p >= '\t' && *p <= '\r')) ++p;
    return (*p == '-' || *p == '+') ? *p : 0;
  }

 private:
  char stack_[128];
  std::string heap_;
  const char* data_;
  const unsigned short* text_;
};

locale_t CLocale() {
  static locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
  return c;
}

void SetOut(const NarrowCopy& copy, const char* e, const unsigned short** end,
            bool* overflow, bool over) {
  if (end != nullptr) *end = copy.Map(e);
  if (overflow != nullptr) *overflow = over;
}

}  // namespace

size_t Length(const unsigned short* text) noexcept {
  if (text == nullptr) return 0;
  // Four units per step, each read only once the unit before it was found
  // not to be the terminator: nothing after the terminator is ever read.
  const unsigned short* p = text;
  for (;; p += 4) {
    if (p[0] == 0) return static_cast<size_t>(p - text);
    if (p[1] == 0) return static_cast<size_t>(p - text) + 1;
    if (p[2] == 0) return static_cast<size_t>(p - text) + 2;
    if (p[3] == 0) return static_cast<size_t>(p - text) + 3;
  }
}

int Compare(const unsigned short* a, const unsigned short* b) noexcept {
  static const unsigned short kEmpty = 0;
  if (a == nullptr) a = &kEmpty;
  if (b == nullptr) b = &kEmpty;
  while (*a != 0 && *a == *b) {
    ++a;
    ++b;
  }
  return static_cast<int>(*a) - static_cast<int>(*b);
}

String Make(const unsigned short* text) {
  return text == nullptr ? String() : String(text, Length(text));
}

String FromLatin1(const char* text, size_t length) {
  String s;
  s.resize(length);
  for (size_t i = 0; i < length; ++i) s[i] = static_cast<unsigned char>(text[i]);
  return s;
}

String FromLatin1(const char* text) {
  return text == nullptr ? String() : FromLatin1(text, std::strlen(text));
}

String FromUtf8(const char* text, size_t length) {
  String out;
  out.reserve(length);
  const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
  const unsigned char* end = p + length;
  while (p < end) {
    unsigned c = *p;
    if (c < 0x80) {
      out.push_back(static_cast<unsigned short>(c));
      ++p;
      continue;
    }
    int extra;
    unsigned cp, min;
    if ((c & 0xE0) == 0xC0) { extra = 1; cp = c & 0x1F; min = 0x80; }
    else if ((c & 0xF0) == 0xE0) { extra = 2; cp = c & 0x0F; min = 0x800; }
    else if ((c & 0xF8) == 0xF0) { extra = 3; cp = c & 0x07; min = 0x10000; }
    else { out.push_back(0xFFFD); ++p; continue; }
    if (end - p <= extra) { out.push_back(0xFFFD); ++p; continue; }
    bool ok = true;
    for (int i = 1; i <= extra; ++i) {
      if ((p[i] & 0xC0) != 0x80) { ok = false; break; }
      cp = (cp << 6) | (p[i] & 0x3F);
    }
    if (!ok || cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
      out.push_back(0xFFFD);
      ++p;
      continue;
    }
    p += extra + 1;
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out.push_back(static_cast<unsigned short>(0xD800 + (cp >> 10)));
      out.push_back(static_cast<unsigned short>(0xDC00 + (cp & 0x3FF)));
    } else {
      out.push_back(static_cast<unsigned short>(cp));
    }
  }
  return out;
}

String FromUtf8(const std::string& text) { return FromUtf8(text.data(), text.size()); }

std::string ToUtf8(const unsigned short* text, size_t length) {
  std::string out;
  out.reserve(length);
  for (size_t i = 0; i < length; ++i) {
    unsigned cp = text[i];
    if (cp < 0x80) {
      out.push_back(static_cast<char>(cp));
      continue;
    }
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < length && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    } else if (cp >= 0xD800 && cp <= 0xDFFF) {
      cp = 0xFFFD;
    }
    if (cp < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    } else if (cp < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    }
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
  return out;
}

std::string ToUtf8(const String& text) { return ToUtf8(text.data(), text.size()); }

int64_t ToInt64(const unsigned short* text, const unsigned short** end, int base,
                bool* overflow) noexcept {
  NarrowCopy copy(text);
  char* e = nullptr;
  errno = 0;
  long long v = std::strtoll(copy.c_str(), &e, base);
  SetOut(copy, e, end, overflow, errno == ERANGE);
  return v;
}

uint64_t ToUInt64(const unsigned short* text, const unsigned short** end, int base,
                  bool* overflow) noexcept {
  NarrowCopy copy(text);
  char* e = nullptr;
  errno = 0;
  unsigned long long v = std::strtoull(copy.c_str(), &e, base);
  SetOut(copy, e, end, overflow, errno == ERANGE);
  return v;
}

int32_t ToInt32(const unsigned short* text, const unsigned short** end, int base,
                bool* overflow) noexcept {
  bool over = false;
  int64_t v = ToInt64(text, end, base, &over);
  if (v > INT32_MAX) { v = INT32_MAX; over = true; }
  if (v < INT32_MIN) { v = INT32_MIN; over = true; }
  if (overflow != nullptr) *overflow = over;
  return static_cast<int32_t>(v);
}

uint32_t ToUInt32(const unsigned short* text, const unsigned short** end, int base,
                  bool* overflow) noexcept {
  // wcstoul semantics for a 32-bit unsigned long: a '-' negates the magnitude
  // modulo 2^32, and a magnitude beyond 32 bits clamps to the maximum.
  NarrowCopy copy(text);
  char* e = nullptr;
  errno = 0;
  unsigned long long v = std::strtoull(copy.c_str(), &e, base);
  bool over = errno == ERANGE;
  uint64_t magnitude = copy.Sign() == '-' ? (0 - v) : v;
  uint32_t result;
  if (over || magnitude > UINT32_MAX) {
    over = true;
    result = UINT32_MAX;
  } else {
    result = static_cast<uint32_t>(copy.Sign() == '-' ? (0u - static_cast<uint32_t>(magnitude))
                                                      : magnitude);
  }
  SetOut(copy, e, end, overflow, over);
  return result;
}

double ToDouble(const unsigned short* text, const unsigned short** end,
                bool* overflow) noexcept {
  NarrowCopy copy(text);
  char* e = nullptr;
  errno = 0;
  double v = strtod_l(copy.c_str(), &e, CLocale());
  SetOut(copy, e, end, overflow, errno == ERANGE);
  return v;
}

String FromUInt64(uint64_t value) {
  unsigned short buf[24];
  unsigned short* p = buf + 24;
  do {
    *--p = static_cast<unsigned short>(u'0' + value % 10);
    value /= 10;
  } while (value != 0);
  return String(p, buf + 24);
}

String FromInt64(int64_t value) {
  if (value >= 0) return FromUInt64(static_cast<uint64_t>(value));
  String s = FromUInt64(0 - static_cast<uint64_t>(value));
  s.insert(s.begin(), u'-');
  return s;
}

}  // namespace Utf16
}  // namespace VxVevAva5
