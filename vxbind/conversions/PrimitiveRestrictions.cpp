// PrimitiveRestrictions.cpp - facets of simple-typed members and their checks.
//
// The only file that sees PCRE2. Patterns are translated from XML Schema
// syntax (detail/XsdPattern) and compiled once, with PCRE2_ANCHORED and
// PCRE2_ENDANCHORED at compile time: an XSD pattern must match the whole
// value, and match-time options would keep PCRE2 from running the JIT code.
#include "vxbind/conversions/PrimitiveRestrictions.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <exception>
#include <memory>
#include <new>
#include <string>
#include <type_traits>

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include "vxbind/base/Exceptions.h"
#include "vxbind/conversions/Conversions.h"
#include "vxbind/conversions/WhitespaceUtils.h"
#include "vxbind/conversions/detail/XsdPattern.h"
#include "vxbind/platform/Format.h"
#include "vxbind/platform/Utf16.h"

namespace VxVevAva5 {
namespace {

// Matching limits. A pattern that backtracks without bound against a long
// value (nested quantifiers such as (a+)+b) stops with an exception instead
// of hanging: the match limit bounds the steps (10 million take well under
// a second), the depth and heap limits bound the interpreter's memory and
// the JIT stack bounds the JIT code's. Ordinary patterns stay far below:
// a repeated group costs one step per repetition.
constexpr uint32_t kMatchLimit = 10000000;
constexpr uint32_t kDepthLimit = 1000000;
constexpr uint32_t kHeapLimitKiB = 256 * 1024;
constexpr size_t kJitStackStart = 32 * 1024;
constexpr size_t kJitStackMax = 16 * 1024 * 1024;

}  // namespace

namespace detail {

// The bounds of one item type, converted from their texts once.
struct BoundsBase {
  virtual ~BoundsBase() = default;
};

template <class T>
struct Bounds final : BoundsBase {
  // In the order minimum inclusive, maximum inclusive, minimum exclusive,
  // maximum exclusive. A bound whose text did not convert keeps the
  // conversion's exception, rethrown by every check that reaches it.
  bool present[4] = {false, false, false, false};
  T value[4];
  std::exception_ptr error[4];
};

struct RestrictionState {
  RestrictionState() {
    for (auto& b : bounds) b.store(nullptr, std::memory_order_relaxed);
  }
  ~RestrictionState() {
    for (auto& b : bounds) delete b.load(std::memory_order_relaxed);
    pcre2_match_context_free(matchContext);
    pcre2_code_free(code);
  }
  RestrictionState(const RestrictionState&) = delete;
  RestrictionState& operator=(const RestrictionState&) = delete;

  bool hasPattern = false;
  bool hasBounds = false;
  pcre2_code* code = nullptr;  // null when there is no usable pattern
  pcre2_match_context* matchContext = nullptr;
  bool jit = false;
  String patternError;  // why the pattern cannot be used
  // Filled on first use per item type: a thread builds its own and publishes
  // it with compare-exchange; a thread that loses the race frees its copy.
  mutable std::atomic<BoundsBase*> bounds[ItemType_integer + 1];
};

struct RestrictionAccess {
  static const RestrictionState* State(const CPrimitiveRestrictions& r) { return r.m_state.get(); }
  static const String& Pattern(const CPrimitiveRestrictions& r) { return r.m_pattern; }
  static int MinLength(const CPrimitiveRestrictions& r) { return r.m_minLength; }
  static int MaxLength(const CPrimitiveRestrictions& r) { return r.m_maxLength; }
  static int Length(const CPrimitiveRestrictions& r) { return r.m_length; }
  static bool HasDigits(const CPrimitiveRestrictions& r) {
    return r.m_totalDigits > -1 || r.m_fractionDigits > -1;
  }
  static const String& Bound(const CPrimitiveRestrictions& r, int i) {
    switch (i) {
      case 0:
        return r.m_minInclusive;
      case 1:
        return r.m_maxInclusive;
      case 2:
        return r.m_minExclusive;
      default:
        return r.m_maxExclusive;
    }
  }
  static bool HasFacets(const CPrimitiveRestrictions& r) {
    return r.m_state != nullptr || r.m_minLength > -1 || r.m_maxLength > -1 || r.m_length > -1 ||
           HasDigits(r);
  }
};

}  // namespace detail

namespace {

using detail::Bounds;
using detail::BoundsBase;
using detail::RestrictionAccess;
using detail::RestrictionState;

// -- Matching scratch, one per thread ----------------------------------------

struct MatchScratch {
  MatchScratch() = default;
  MatchScratch(const MatchScratch&) = delete;
  MatchScratch& operator=(const MatchScratch&) = delete;
  ~MatchScratch() {
    pcre2_match_data_free(matchData);
    pcre2_jit_stack_free(jitStack);
  }
  pcre2_match_data* matchData = nullptr;
  pcre2_jit_stack* jitStack = nullptr;
  std::unique_ptr<unsigned char[]> subject;  // the value as UTF-8
  size_t capacity = 0;
};

MatchScratch& Scratch() {
  thread_local MatchScratch scratch;
  return scratch;
}

// Called by the JIT code at the start of a match: this thread's own stack,
// made on first use. Null (no memory) falls back to PCRE2's 32 KiB block.
pcre2_jit_stack* ThreadJitStack(void*) {
  MatchScratch& s = Scratch();
  if (s.jitStack == nullptr)
    s.jitStack = pcre2_jit_stack_create(kJitStackStart, kJitStackMax, nullptr);
  return s.jitStack;
}

bool IsHighSurrogate(unsigned short u) { return u >= 0xD800 && u <= 0xDBFF; }
bool IsLowSurrogate(unsigned short u) { return u >= 0xDC00 && u <= 0xDFFF; }

[[noreturn]] void ThrowUnpairedSurrogate(unsigned short unit, size_t position) {
  throw CVxException(
      FormatString(VX_T("Invalid UTF-16 text: unpaired surrogate [0x%04X] at position [%u]"),
                   static_cast<unsigned>(unit), static_cast<unsigned>(position)));
}

// `value` as UTF-8 in the scratch buffer; returns its length in bytes.
size_t EncodeSubject(const String& value, MatchScratch& s) {
  size_t n = value.size();
  if (n > (SIZE_MAX - 1) / 3) throw std::bad_alloc();
  if (s.capacity < n * 3 + 1) {
    size_t capacity = std::max(n * 3 + 1, s.capacity * 2);
    s.subject.reset(new unsigned char[capacity]);
    s.capacity = capacity;
  }
  unsigned char* out = s.subject.get();
  const unsigned short* p = value.data();
  for (size_t i = 0; i < n; ++i) {
    unsigned c = p[i];
    if (c < 0x80) {
      *out++ = static_cast<unsigned char>(c);
    } else if (c < 0x800) {
      *out++ = static_cast<unsigned char>(0xC0 | (c >> 6));
      *out++ = static_cast<unsigned char>(0x80 | (c & 0x3F));
    } else if (IsHighSurrogate(static_cast<unsigned short>(c)) && i + 1 < n &&
               IsLowSurrogate(p[i + 1])) {
      unsigned cp = 0x10000 + ((c - 0xD800) << 10) + (p[i + 1] - 0xDC00u);
      ++i;
      *out++ = static_cast<unsigned char>(0xF0 | (cp >> 18));
      *out++ = static_cast<unsigned char>(0x80 | ((cp >> 12) & 0x3F));
      *out++ = static_cast<unsigned char>(0x80 | ((cp >> 6) & 0x3F));
      *out++ = static_cast<unsigned char>(0x80 | (cp & 0x3F));
    } else if (IsHighSurrogate(static_cast<unsigned short>(c)) ||
               IsLowSurrogate(static_cast<unsigned short>(c))) {
      ThrowUnpairedSurrogate(static_cast<unsigned short>(c), i);
    } else {
      *out++ = static_cast<unsigned char>(0xE0 | (c >> 12));
      *out++ = static_cast<unsigned char>(0x80 | ((c >> 6) & 0x3F));
      *out++ = static_cast<unsigned char>(0x80 | (c & 0x3F));
    }
  }
  return static_cast<size_t>(out - s.subject.get());
}

String PcreErrorText(int code) {
  PCRE2_UCHAR buffer[256];
  if (pcre2_get_error_message(code, buffer, sizeof buffer) < 0)
    return String(VX_T("unknown error"));
  return Utf16::FromUtf8(reinterpret_cast<const char*>(buffer));
}

// Translates and compiles the pattern into `s`; a pattern that cannot be
// used leaves `code` null and the reason in `patternError`.
void CompilePattern(const String& pattern, RestrictionState& s) {
  std::string translated;
  std::string error;
  if (!detail::TranslateXsdPattern(pattern, translated, error)) {
    s.patternError = Utf16::FromUtf8(error);
    return;
  }
  int errorCode = 0;
  PCRE2_SIZE errorOffset = 0;
  s.code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(translated.data()), translated.size(),
                         PCRE2_UTF | PCRE2_ANCHORED | PCRE2_ENDANCHORED, &errorCode, &errorOffset,
                         nullptr);
  if (s.code == nullptr) {
    if (errorCode == PCRE2_ERROR_NOMEMORY) throw std::bad_alloc();
    s.patternError = PcreErrorText(errorCode);
    return;
  }
  // Without JIT support (or memory for it) the interpreter matches instead.
  s.jit = pcre2_jit_compile(s.code, PCRE2_JIT_COMPLETE) == 0;
  s.matchContext = pcre2_match_context_create(nullptr);
  if (s.matchContext == nullptr) throw std::bad_alloc();
  pcre2_set_match_limit(s.matchContext, kMatchLimit);
  pcre2_set_depth_limit(s.matchContext, kDepthLimit);
  pcre2_set_heap_limit(s.matchContext, kHeapLimitKiB);
  pcre2_jit_stack_assign(s.matchContext, ThreadJitStack, nullptr);
}

// -- Messages ----------------------------------------------------------------

[[noreturn]] void ThrowBadPattern(const unsigned short* name, const CPrimitiveRestrictions& r,
                                  const RestrictionState& s) {
  throw CVxException(FormatString(VX_T("Invalid Regular Expression: %s Error: '%s' for '%s'"),
                                  RestrictionAccess::Pattern(r).c_str(), s.patternError.c_str(),
                                  name));
}

[[noreturn]] void ThrowMatchFailure(const unsigned short* name, const CPrimitiveRestrictions& r,
                                    int code) {
  throw CVxException(FormatString(VX_T("Failed to match the pattern [%s] for %s: %s"),
                                  RestrictionAccess::Pattern(r).c_str(), name,
                                  PcreErrorText(code).c_str()));
}

[[noreturn]] void ThrowInvalidInt(const unsigned short* name, int value) {
  throw CVxException(FormatString(VX_T("Invalid Value for %s [%d]"), name, value));
}

[[noreturn]] void ThrowInvalidText(const unsigned short* name, const String& value) {
  throw CVxException(FormatString(VX_T("Invalid Value for %s [%s]"), name, value.c_str()));
}

[[noreturn]] void ThrowInvalidReal(const unsigned short* name, double value) {
  throw CVxException(FormatString(VX_T("Invalid Value for %s [%f]"), name, value));
}

// The message of a broken facet, with the value shown as its type's row of
// the table in the header says.
template <ItemType kType>
[[noreturn]] void ThrowInvalid(const unsigned short* name,
                               typename ItemTypeTraits<kType>::ArgType value) {
  using T = typename ItemTypeTraits<kType>::ValueType;
  if constexpr (std::is_same<T, CBinaryData>::value) {
    ThrowInvalidText(name, value.GetAsHexString());
  } else if constexpr (kType == ItemType_ui4) {
    // %d would show values above 2147483647 as negative numbers.
    throw CVxException(
        FormatString(VX_T("Invalid Value for %s [%u]"), name, static_cast<unsigned>(value)));
  } else if constexpr (kType == ItemType_r4 || kType == ItemType_r8) {
    ThrowInvalidReal(name, static_cast<double>(value));
  } else if constexpr (std::is_integral<T>::value && sizeof(T) < 8) {
    ThrowInvalidInt(name, static_cast<int>(value));
  } else {
    // 64-bit integers, durations, dates, strings, decimals, big integers:
    // their lexical form.
    ThrowInvalidText(name, ItemTypeTraits<kType>::ToString(value, nullptr));
  }
}

// -- Bounds ------------------------------------------------------------------

template <ItemType kType>
using BoundsOf = Bounds<typename ItemTypeTraits<kType>::ValueType>;

// Out of line: runs once per restrictions and item type.
template <ItemType kType>
__attribute__((noinline)) const BoundsOf<kType>& MakeBounds(const CPrimitiveRestrictions& r,
                                                            const RestrictionState& s) {
  auto built = std::make_unique<BoundsOf<kType>>();
  for (int i = 0; i < 4; ++i) {
    const String& text = RestrictionAccess::Bound(r, i);
    if (text.empty()) continue;
    built->present[i] = true;
    try {
      built->value[i] = ItemTypeTraits<kType>::FromString(
          text, CWhitespaceUtils::WhitespaceRule_Collapse);
    } catch (const CVxException&) {
      built->error[i] = std::current_exception();
    }
  }
  BoundsBase* expected = nullptr;
  if (s.bounds[kType].compare_exchange_strong(expected, built.get(), std::memory_order_acq_rel,
                                              std::memory_order_acquire))
    return *built.release();
  return static_cast<const BoundsOf<kType>&>(*expected);
}

template <ItemType kType>
const BoundsOf<kType>& GetBounds(const CPrimitiveRestrictions& r, const RestrictionState& s) {
  const BoundsBase* b = s.bounds[kType].load(std::memory_order_acquire);
  if (b == nullptr) return MakeBounds<kType>(r, s);
  return static_cast<const BoundsOf<kType>&>(*b);
}

// Whether `value` keeps bound i (0 minimum inclusive, 1 maximum inclusive,
// 2 minimum exclusive, 3 maximum exclusive).
template <class T>
bool Keeps(int i, const T& value, const T& bound) {
  switch (i) {
    case 0:
      return value >= bound;
    case 1:
      return value <= bound;
    case 2:
      return value > bound;
    default:
      return value < bound;
  }
}

// Dates and durations are partially ordered: an indeterminate comparison
// never breaks a bound.
template <class T>
bool KeepsPartial(int i, const T& value, const T& bound) {
  CDateTime::DTCompareResult c = value.CompareTo(bound);
  switch (i) {
    case 0:
      return c != CDateTime::DTCompare_LessThan;
    case 1:
      return c != CDateTime::DTCompare_GreaterThan;
    case 2:
      return c == CDateTime::DTCompare_GreaterThan || c == CDateTime::DTCompare_Indeterminate;
    default:
      return c == CDateTime::DTCompare_LessThan || c == CDateTime::DTCompare_Indeterminate;
  }
}

template <ItemType kType>
void CheckBounds(const unsigned short* name, typename ItemTypeTraits<kType>::ArgType value,
                 const CPrimitiveRestrictions& r) {
  const RestrictionState* s = RestrictionAccess::State(r);
  if (s == nullptr || !s->hasBounds) return;
  const BoundsOf<kType>& b = GetBounds<kType>(r, *s);
  for (int i = 0; i < 4; ++i) {
    if (!b.present[i]) continue;
    if (b.error[i]) std::rethrow_exception(b.error[i]);
    using T = typename ItemTypeTraits<kType>::ValueType;
    constexpr bool kPartial =
        std::is_same<T, CDateTime>::value || std::is_same<T, CDateTimeSpan>::value;
    bool keeps;
    if constexpr (kPartial)
      keeps = KeepsPartial(i, value, b.value[i]);
    else
      keeps = Keeps(i, value, b.value[i]);
    if (!keeps) ThrowInvalid<kType>(name, value);
  }
}

// -- Digits ------------------------------------------------------------------

// The digits of a value: `total` counts from its first non-zero digit
// before the point (the point itself when there is none) to its last
// non-zero digit after it; `fraction` the digits after the point up to the
// last non-zero one. Leading and trailing zeros do not count.
struct DigitCount {
  size_t total = 0;
  size_t fraction = 0;
};

// From a decimal text: an optional sign, digits, optionally "." and digits.
DigitCount CountDigits(const String& text) {
  size_t begin = 0, end = text.size();
  if (begin != end && (text[begin] == u'-' || text[begin] == u'+')) ++begin;
  size_t point = begin;
  while (point != end && text[point] != u'.') ++point;
  size_t first = begin;
  while (first != point && text[first] == u'0') ++first;
  size_t last = end;
  if (point != end) {
    while (last > point + 1 && text[last - 1] == u'0') --last;
    if (last == point + 1) last = point;  // nothing after the point
  } else {
    last = point;
  }
  DigitCount count;
  count.fraction = last > point ? last - point - 1 : 0;
  // Without integer digits, the fraction's leading zeros count too:
  // 0.05 is 5 / 10^2 and needs two digits.
  count.total = (point - first) + count.fraction;
  return count;
}

template <class T>
DigitCount CountIntegerDigits(T value) {
  DigitCount count;
  if constexpr (std::is_signed<T>::value) {
    // In unsigned arithmetic: the negative of the minimum does not fit T.
    uint64_t magnitude = value < 0 ? 0 - static_cast<uint64_t>(static_cast<int64_t>(value))
                                   : static_cast<uint64_t>(value);
    for (; magnitude != 0; magnitude /= 10) ++count.total;
  } else {
    for (uint64_t magnitude = value; magnitude != 0; magnitude /= 10) ++count.total;
  }
  return count;
}

template <ItemType kType>
void CheckDigits(const unsigned short* name, typename ItemTypeTraits<kType>::ArgType value,
                 const CPrimitiveRestrictions& r) {
  if (!RestrictionAccess::HasDigits(r)) return;
  DigitCount count;
  if constexpr (kType == ItemType_decimal || kType == ItemType_integer)
    count = CountDigits(value.ToString());
  else
    count = CountIntegerDigits(value);
  const int total = r.GetTotalDigits();
  const int fraction = r.GetFractionDigits();
  if ((total > -1 && count.total > static_cast<size_t>(total)) ||
      (fraction > -1 && count.fraction > static_cast<size_t>(fraction)))
    ThrowInvalid<kType>(name, value);
}

// -- Lengths and pattern -----------------------------------------------------

template <ItemType kType>
void CheckLengths(const unsigned short* name, typename ItemTypeTraits<kType>::ArgType value,
                  size_t length, const CPrimitiveRestrictions& r) {
  int minLength = RestrictionAccess::MinLength(r);
  int maxLength = RestrictionAccess::MaxLength(r);
  int exact = RestrictionAccess::Length(r);
  if (minLength > -1 && length < static_cast<size_t>(minLength)) ThrowInvalid<kType>(name, value);
  if (maxLength > -1 && length > static_cast<size_t>(maxLength)) ThrowInvalid<kType>(name, value);
  if (exact > -1 && length != static_cast<size_t>(exact)) ThrowInvalid<kType>(name, value);
}

// True when the whole value matches the compiled pattern.
bool MatchesPattern(const unsigned short* name, const String& value,
                    const CPrimitiveRestrictions& r, const RestrictionState& s) {
  if (s.code == nullptr) ThrowBadPattern(name, r, s);
  MatchScratch& scratch = Scratch();
  if (scratch.matchData == nullptr) {
    // One pair is enough: the translated pattern captures nothing.
    scratch.matchData = pcre2_match_data_create(1, nullptr);
    if (scratch.matchData == nullptr) throw std::bad_alloc();
  }
  size_t length = EncodeSubject(value, scratch);
  PCRE2_SPTR subject = scratch.subject.get();
  // The subject was encoded here, so PCRE2 need not check it again.
  int rc = s.jit ? pcre2_jit_match(s.code, subject, length, 0, 0, scratch.matchData, s.matchContext)
                 : pcre2_match(s.code, subject, length, 0, PCRE2_NO_UTF_CHECK, scratch.matchData,
                               s.matchContext);
  if (rc == PCRE2_ERROR_NOMATCH) return false;
  if (rc < 0) ThrowMatchFailure(name, r, rc);
  const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(scratch.matchData);
  return ovector[0] == 0 && ovector[1] == length;
}

}  // namespace

// -- CPrimitiveRestrictions ----------------------------------------------------

CPrimitiveRestrictions::CPrimitiveRestrictions() = default;

CPrimitiveRestrictions::CPrimitiveRestrictions(const unsigned short* pattern, int minLength,
                                               int maxLength, const unsigned short* minInclusive,
                                               const unsigned short* maxInclusive,
                                               const unsigned short* minExclusive,
                                               const unsigned short* maxExclusive, int length)
    : m_pattern(Utf16::Make(pattern)),
      m_minLength(minLength),
      m_maxLength(maxLength),
      m_minInclusive(Utf16::Make(minInclusive)),
      m_maxInclusive(Utf16::Make(maxInclusive)),
      m_minExclusive(Utf16::Make(minExclusive)),
      m_maxExclusive(Utf16::Make(maxExclusive)),
      m_length(length) {
  bool hasBounds = !m_minInclusive.empty() || !m_maxInclusive.empty() || !m_minExclusive.empty() ||
                   !m_maxExclusive.empty();
  if (m_pattern.empty() && !hasBounds) return;
  auto state = std::make_shared<RestrictionState>();
  state->hasBounds = hasBounds;
  state->hasPattern = !m_pattern.empty();
  if (state->hasPattern) CompilePattern(m_pattern, *state);
  m_state = std::move(state);
}

CPrimitiveRestrictions::CPrimitiveRestrictions(const CPrimitiveRestrictions& other) = default;
CPrimitiveRestrictions& CPrimitiveRestrictions::operator=(const CPrimitiveRestrictions& other) =
    default;
CPrimitiveRestrictions::~CPrimitiveRestrictions() = default;

// -- The checks ----------------------------------------------------------------

template <ItemType kType>
void CheckFacets(const unsigned short* name, typename ItemTypeTraits<kType>::ArgType value,
                 const CPrimitiveRestrictions& restrictions) {
  if constexpr (kType == ItemType_boolean) {
    (void)name;
    (void)value;
    (void)restrictions;
  } else if constexpr (kType == ItemType_hexBinary || kType == ItemType_base64Binary) {
    CheckLengths<kType>(name, value, value.GetLength(), restrictions);
  } else if constexpr (kType == ItemType_QName || kType == ItemType_QNameList) {
    // Lengths and patterns of QNames apply to their lexical form.
    CheckFacets<ItemType_string>(name, ItemTypeTraits<kType>::ToString(value, nullptr),
                                 restrictions);
  } else if constexpr (kType == ItemType_string) {
    CheckLengths<kType>(name, value, value.size(), restrictions);
    const RestrictionState* s = RestrictionAccess::State(restrictions);
    if (s != nullptr && s->hasPattern && !MatchesPattern(name, value, restrictions, *s))
      ThrowInvalid<kType>(name, value);
  } else if constexpr (kType == ItemType_decimal || kType == ItemType_integer ||
                       (kType >= ItemType_i1 && kType <= ItemType_ui8)) {
    CheckBounds<kType>(name, value, restrictions);
    CheckDigits<kType>(name, value, restrictions);
  } else {
    CheckBounds<kType>(name, value, restrictions);
  }
}

#define VX_INSTANTIATE_CHECK(kType)               \
  template VXBIND_EXPORT void CheckFacets<kType>( \
      const unsigned short*, ItemTypeTraits<kType>::ArgType, const CPrimitiveRestrictions&);
VX_INSTANTIATE_CHECK(ItemType_hexBinary)
VX_INSTANTIATE_CHECK(ItemType_base64Binary)
VX_INSTANTIATE_CHECK(ItemType_i1)
VX_INSTANTIATE_CHECK(ItemType_i2)
VX_INSTANTIATE_CHECK(ItemType_i4)
VX_INSTANTIATE_CHECK(ItemType_i8)
VX_INSTANTIATE_CHECK(ItemType_ui1)
VX_INSTANTIATE_CHECK(ItemType_ui2)
VX_INSTANTIATE_CHECK(ItemType_ui4)
VX_INSTANTIATE_CHECK(ItemType_ui8)
VX_INSTANTIATE_CHECK(ItemType_r4)
VX_INSTANTIATE_CHECK(ItemType_r8)
VX_INSTANTIATE_CHECK(ItemType_duration)
VX_INSTANTIATE_CHECK(ItemType_yearMonth)
VX_INSTANTIATE_CHECK(ItemType_monthDay)
VX_INSTANTIATE_CHECK(ItemType_year)
VX_INSTANTIATE_CHECK(ItemType_month)
VX_INSTANTIATE_CHECK(ItemType_day)
VX_INSTANTIATE_CHECK(ItemType_date)
VX_INSTANTIATE_CHECK(ItemType_datetime)
VX_INSTANTIATE_CHECK(ItemType_time)
VX_INSTANTIATE_CHECK(ItemType_string)
VX_INSTANTIATE_CHECK(ItemType_boolean)
VX_INSTANTIATE_CHECK(ItemType_decimal)
VX_INSTANTIATE_CHECK(ItemType_integer)
VX_INSTANTIATE_CHECK(ItemType_QName)
VX_INSTANTIATE_CHECK(ItemType_QNameList)
#undef VX_INSTANTIATE_CHECK

void CheckFacets(const unsigned short* name, const VxVariant& value, ItemType itemType,
                 const CPrimitiveRestrictions& restrictions) {
  // Without facets nothing needs the value (and no copy of it is made).
  bool known = (itemType >= ItemType_hexBinary && itemType <= ItemType_integer &&
                itemType != ItemType_char) ||
               itemType == ItemType_QName || itemType == ItemType_QNameList;
  if (known && !RestrictionAccess::HasFacets(restrictions)) return;
  const CPrimitiveRestrictions& r = restrictions;
  switch (itemType) {
    case ItemType_hexBinary:
      return CheckFacets<ItemType_hexBinary>(name, value.GetHexBinary(), r);
    case ItemType_base64Binary:
      return CheckFacets<ItemType_base64Binary>(name, value.GetBase64Binary(), r);
    case ItemType_i1:
      return CheckFacets<ItemType_i1>(name, value.GetI1(), r);
    case ItemType_i2:
      return CheckFacets<ItemType_i2>(name, value.GetI2(), r);
    case ItemType_i4:
      return CheckFacets<ItemType_i4>(name, value.GetI4(), r);
    case ItemType_i8:
      return CheckFacets<ItemType_i8>(name, value.GetI8(), r);
    case ItemType_ui1:
      return CheckFacets<ItemType_ui1>(name, value.GetUI1(), r);
    case ItemType_ui2:
      return CheckFacets<ItemType_ui2>(name, value.GetUI2(), r);
    case ItemType_ui4:
      return CheckFacets<ItemType_ui4>(name, value.GetUI4(), r);
    case ItemType_ui8:
      return CheckFacets<ItemType_ui8>(name, value.GetUI8(), r);
    case ItemType_r4:
      return CheckFacets<ItemType_r4>(name, value.GetR4(), r);
    case ItemType_r8:
      return CheckFacets<ItemType_r8>(name, value.GetR8(), r);
    case ItemType_duration:
      return CheckFacets<ItemType_duration>(name, value.GetDuration(), r);
    case ItemType_yearMonth:
      return CheckFacets<ItemType_yearMonth>(name, value.GetYearMonth(), r);
    case ItemType_monthDay:
      return CheckFacets<ItemType_monthDay>(name, value.GetMonthDay(), r);
    case ItemType_year:
      return CheckFacets<ItemType_year>(name, value.GetYear(), r);
    case ItemType_month:
      return CheckFacets<ItemType_month>(name, value.GetMonth(), r);
    case ItemType_day:
      return CheckFacets<ItemType_day>(name, value.GetDay(), r);
    case ItemType_date:
      return CheckFacets<ItemType_date>(name, value.GetDate(), r);
    case ItemType_datetime:
      return CheckFacets<ItemType_datetime>(name, value.GetDateTime(), r);
    case ItemType_time:
      return CheckFacets<ItemType_time>(name, value.GetTime(), r);
    case ItemType_string:
      return CheckFacets<ItemType_string>(name, value.GetString(), r);
    case ItemType_boolean:
      return;
    case ItemType_decimal:
      return CheckFacets<ItemType_decimal>(name, value.GetDecimal(), r);
    case ItemType_integer:
      return CheckFacets<ItemType_integer>(name, value.GetInteger(), r);
    case ItemType_QName:
      return CheckFacets<ItemType_QName>(name, value.GetQName(), r);
    case ItemType_QNameList:
      return CheckFacets<ItemType_QNameList>(name, value.GetQNameList(), r);
    default:
      throw CVxInvalidValueException(VX_T("unknown type [") + value.GetType() + VX_T("]"));
  }
}

void CheckTextPattern(const unsigned short* name, const String& text,
                      CWhitespaceUtils::WhitespaceRule rule, ItemType itemType,
                      const CPrimitiveRestrictions& restrictions) {
  const RestrictionState* s = RestrictionAccess::State(restrictions);
  if (s == nullptr || !s->hasPattern || itemType == ItemType_string || itemType == ItemType_QName ||
      itemType == ItemType_QNameList)
    return;
  String lexical = CWhitespaceUtils::ApplyRule(rule, text);
  if (!MatchesPattern(name, lexical, restrictions, *s)) ThrowInvalidText(name, lexical);
}

void CheckFacetsOnRead(const unsigned short* name, const String& text,
                       CWhitespaceUtils::WhitespaceRule rule, const VxVariant& value,
                       ItemType itemType, const CPrimitiveRestrictions& restrictions) {
  // char has no facets to check (and CheckFacets refuses it).
  if (!RestrictionAccess::HasFacets(restrictions) || itemType == ItemType_char) return;
  CheckTextPattern(name, text, rule, itemType, restrictions);
  CheckFacets(name, value, itemType, restrictions);
}

}  // namespace VxVevAva5
