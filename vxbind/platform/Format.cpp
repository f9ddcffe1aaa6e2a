// FormatString: a UTF-16 printf. Text conversions are copied directly; numeric
// conversions are handed to snprintf with the same flags, width and precision
// and widened, so the numbers read exactly as the C library prints them.
#include "vxbind/platform/Format.h"

#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "vxbind/platform/Utf16.h"

namespace VxVevAva5 {
namespace {

struct Field {
  char flags[8];
  int flagCount = 0;
  bool left = false;
  int width = -1;
  int precision = -1;
};

// Appends `count` copies of `unit`.
void Pad(String& out, int count, unsigned short unit) {
  if (count > 0) out.append(static_cast<size_t>(count), unit);
}

void AppendText(String& out, const Field& field, const unsigned short* text, size_t length) {
  if (field.precision >= 0 && static_cast<size_t>(field.precision) < length)
    length = static_cast<size_t>(field.precision);
  int pad = field.width > 0 && static_cast<size_t>(field.width) > length
                ? field.width - static_cast<int>(length) : 0;
  if (!field.left) Pad(out, pad, u' ');
  out.append(text, length);
  if (field.left) Pad(out, pad, u' ');
}

// Formats one numeric conversion with snprintf; `conv` is the length modifier
// plus conversion letter in narrow printf syntax ("lld", "f", ...).
template <class T>
void AppendNumber(String& out, const Field& field, const char* conv, T value) {
  char fmt[32];
  size_t n = 0;
  fmt[n++] = '%';
  for (int i = 0; i < field.flagCount; ++i) fmt[n++] = field.flags[i];
  fmt[n++] = '*';
  fmt[n++] = '.';
  fmt[n++] = '*';
  for (const char* c = conv; *c != 0; ++c) fmt[n++] = *c;
  fmt[n] = '\0';
  // A negative precision means "none" to snprintf, exactly as when omitted.
  int width = field.width < 0 ? 0 : field.width;
  if (field.left) width = -width;
  char stack[128];
  int len = std::snprintf(stack, sizeof(stack), fmt, width, field.precision, value);
  if (len < 0) return;
  const char* text = stack;
  std::string heap;
  if (static_cast<size_t>(len) >= sizeof(stack)) {
    heap.resize(static_cast<size_t>(len) + 1);
    std::snprintf(&heap[0], heap.size(), fmt, width, field.precision, value);
    text = heap.data();
  }
  size_t start = out.size();
  out.resize(start + static_cast<size_t>(len));
  for (int i = 0; i < len; ++i) out[start + i] = static_cast<unsigned char>(text[i]);
}

enum class Size { kDefault, kShort, kLong, kLongLong, kSizeT };

}  // namespace

String FormatStringV(const unsigned short* format, va_list args) {
  String out;
  if (format == nullptr) return out;
  out.reserve(Utf16::Length(format) + 32);
  const unsigned short* p = format;
  while (*p != 0) {
    if (*p != u'%') {
      const unsigned short* run = p;
      while (*p != 0 && *p != u'%') ++p;
      out.append(run, p);
      continue;
    }
    const unsigned short* start = p++;
    if (*p == u'%') {
      out.push_back(u'%');
      ++p;
      continue;
    }
    Field field;
    while (*p == u'-' || *p == u'+' || *p == u' ' || *p == u'#' || *p == u'0') {
      if (*p == u'-') field.left = true;
      else if (field.flagCount < 7) field.flags[field.flagCount++] = static_cast<char>(*p);
      ++p;
    }
    if (*p == u'*') {
      field.width = va_arg(args, int);
      if (field.width < 0) {
        field.left = true;
        field.width = field.width == INT_MIN ? INT_MAX : -field.width;
      }
      ++p;
    } else {
      while (*p >= u'0' && *p <= u'9') {
        if (field.width < 0) field.width = 0;
        if (field.width < 100000000) field.width = field.width * 10 + (*p - u'0');
        ++p;
      }
    }
    if (*p == u'.') {
      ++p;
      field.precision = 0;
      if (*p == u'*') {
        field.precision = va_arg(args, int);
        ++p;
      } else {
        while (*p >= u'0' && *p <= u'9') {
          if (field.precision < 100000000) field.precision = field.precision * 10 + (*p - u'0');
          ++p;
        }
      }
    }
    Size size = Size::kDefault;
    if (p[0] == u'I' && p[1] == u'6' && p[2] == u'4') {
      size = Size::kLongLong;
      p += 3;
    } else if (p[0] == u'l' && p[1] == u'l') {
      size = Size::kLongLong;
      p += 2;
    } else if (*p == u'l') {
      size = Size::kLong;
      ++p;
    } else if (*p == u'h') {
      size = Size::kShort;
      ++p;
    } else if (*p == u'z') {
      size = Size::kSizeT;
      ++p;
    }
    unsigned short conv = *p;
    if (conv == 0) {  // dangling '%...' at the end: keep it as text
      out.append(start, p);
      break;
    }
    ++p;
    switch (conv) {
      case u'd':
      case u'i':
        switch (size) {
          case Size::kLongLong: AppendNumber(out, field, "lld", va_arg(args, long long)); break;
          case Size::kLong: AppendNumber(out, field, "ld", va_arg(args, long)); break;
          case Size::kSizeT: AppendNumber(out, field, "zd", va_arg(args, ptrdiff_t)); break;
          case Size::kShort:
            AppendNumber(out, field, "d", static_cast<int>(static_cast<short>(va_arg(args, int))));
            break;
          default: AppendNumber(out, field, "d", va_arg(args, int)); break;
        }
        break;
      case u'u':
      case u'o':
      case u'x':
      case u'X': {
        char c[4] = {0, 0, 0, 0};
        char letter = static_cast<char>(conv);
        switch (size) {
          case Size::kLongLong:
            c[0] = 'l'; c[1] = 'l'; c[2] = letter;
            AppendNumber(out, field, c, va_arg(args, unsigned long long));
            break;
          case Size::kLong:
            c[0] = 'l'; c[1] = letter;
            AppendNumber(out, field, c, va_arg(args, unsigned long));
            break;
          case Size::kSizeT:
            c[0] = 'z'; c[1] = letter;
            AppendNumber(out, field, c, va_arg(args, size_t));
            break;
          case Size::kShort:
            c[0] = letter;
            AppendNumber(out, field, c,
                         static_cast<unsigned>(static_cast<unsigned short>(va_arg(args, unsigned))));
            break;
          default:
            c[0] = letter;
            AppendNumber(out, field, c, va_arg(args, unsigned));
            break;
        }
        break;
      }
      case u'f': case u'F': case u'e': case u'E':
      case u'g': case u'G': case u'a': case u'A': {
        char c[2] = {static_cast<char>(conv), 0};
        AppendNumber(out, field, c, va_arg(args, double));
        break;
      }
      case u'p':
        AppendNumber(out, field, "p", va_arg(args, void*));
        break;
      case u'c': {
        unsigned short unit = static_cast<unsigned short>(va_arg(args, int));
        AppendText(out, field, &unit, 1);
        break;
      }
      case u'S':
      case u's':
        if (conv == u'S' || size == Size::kShort) {
          const char* s = va_arg(args, const char*);
          String wide = Utf16::FromLatin1(s == nullptr ? "(null)" : s);
          AppendText(out, field, wide.data(), wide.size());
        } else {
          const unsigned short* s = va_arg(args, const unsigned short*);
          if (s == nullptr) s = VX_T("(null)");
          AppendText(out, field, s, Utf16::Length(s));
        }
        break;
      default:  // not a conversion we know: copy it through untouched
        out.append(start, p);
        break;
    }
  }
  return out;
}

String FormatString(const unsigned short* format, ...) {
  va_list args;
  va_start(args, format);
  String s = FormatStringV(format, args);
  va_end(args);
  return s;
}

}  // namespace VxVevAva5
