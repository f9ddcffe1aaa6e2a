// Variant.cpp - ownership, copying and text conversion of VxVariant.
#include "vxbind/conversions/Variant.h"

#include <climits>
#include <new>
#include <type_traits>
#include <utility>

#include "vxbind/conversions/Conversions.h"
#include "vxbind/base/Exceptions.h"
#include "vxbind/platform/Format.h"

namespace VxVevAva5 {
namespace {

const unsigned short* const kTypeNames[] = {
    nullptr,            VX_T("hexBinary"), VX_T("base64Binary"), VX_T("i1"),
    VX_T("i2"),         VX_T("i4"),        VX_T("i8"),           VX_T("ui1"),
    VX_T("ui2"),        VX_T("ui4"),       VX_T("ui8"),          VX_T("r4"),
    VX_T("r8"),         VX_T("duration"),  VX_T("yearMonth"),    VX_T("monthDay"),
    VX_T("year"),       VX_T("month"),     VX_T("day"),          VX_T("date"),
    VX_T("datetime"),   VX_T("time"),      VX_T("char"),         VX_T("string"),
    VX_T("boolean"),    VX_T("decimal"),   VX_T("integer"),      nullptr,
    nullptr,            VX_T("QName"),     VX_T("QNameList"),
};

bool IsConvertible(ItemType type) {
  return (type >= ItemType_hexBinary && type <= ItemType_integer) || type == ItemType_QName ||
         type == ItemType_QNameList;
}

bool IsDateKind(ItemType type) {
  return type == ItemType_yearMonth || type == ItemType_monthDay || type == ItemType_date ||
         type == ItemType_datetime || type == ItemType_time;
}

[[noreturn]] void ThrowNotConvertible(int type) {
  throw CVxException(FormatString(VX_T("Invalid Type %d to convert to string"), type));
}

// Both counted kinds hold the object as the CXmlObjectBase that counts it.
CXmlObjectBase* AsCountedObject(void* p) { return static_cast<CXmlObjectBase*>(p); }

template <class T>
struct TypeTag {
  using type = T;
};

// The one place that says which heap type each owned kind holds: calls
// `f(TypeTag<T>())` for it and returns true, or returns false for kinds that
// are not owned copies (inline values, counted objects, 0).
template <class F>
bool VisitOwnedType(ItemType type, F&& f) {
  switch (type) {
    case ItemType_hexBinary:
    case ItemType_base64Binary: f(TypeTag<CBinaryData>()); return true;
    case ItemType_duration: f(TypeTag<CDateTimeSpan>()); return true;
    case ItemType_yearMonth:
    case ItemType_monthDay:
    case ItemType_date:
    case ItemType_datetime:
    case ItemType_time: f(TypeTag<CDateTime>()); return true;
    case ItemType_string: f(TypeTag<String>()); return true;
    case ItemType_decimal: f(TypeTag<CDecimal>()); return true;
    case ItemType_integer: f(TypeTag<CBigInteger>()); return true;
    case ItemType_QName: f(TypeTag<CQName>()); return true;
    case ItemType_QNameList: f(TypeTag<CQNameList>()); return true;
    default: return false;
  }
}

// The owned kinds held in the slot itself rather than as a heap copy: a
// value read from a document is then made without a heap block of its own.
template <class T>
struct InPlace : std::false_type {};
template <>
struct InPlace<String> : std::true_type {};
template <>
struct InPlace<CDecimal> : std::true_type {};
template <>
struct InPlace<CBigInteger> : std::true_type {};
template <>
struct InPlace<CDateTime> : std::true_type {};

bool IsInPlaceKind(ItemType type) {
  return type == ItemType_string || type == ItemType_decimal || type == ItemType_integer ||
         IsDateKind(type);
}

// Deletes an owned value of type T. The names' destructors stay out of
// line: inlined, they make Clear too big to take the switch inline, and
// every value pays for it.
template <class T>
void DeleteOwned(void* p) {
  delete static_cast<T*>(p);
}
template <>
[[gnu::noinline]] void DeleteOwned<CQName>(void* p) {
  delete static_cast<CQName*>(p);
}
template <>
[[gnu::noinline]] void DeleteOwned<CQNameList>(void* p) {
  delete static_cast<CQNameList*>(p);
}

}  // namespace

VxVariant::VxVariant(const VxVariant& other) : VxVariant() { *this = other; }

const void* VxVariant::Payload() const noexcept {
  return IsInPlaceKind(m_type) ? static_cast<const void*>(m_value.bytes) : m_value.ptr;
}

void VxVariant::Relocate(VxVariant& to, VxVariant& from) noexcept {
  to.m_type = from.m_type;
  to.m_disposable = from.m_disposable;
  if (IsInPlaceKind(from.m_type)) {
    VisitOwnedType(from.m_type, [&](auto tag) {
      using T = typename decltype(tag)::type;
      if constexpr (InPlace<T>::value) {
        T* held = reinterpret_cast<T*>(from.m_value.bytes);
        ::new (static_cast<void*>(to.m_value.bytes)) T(std::move(*held));
        held->~T();
      }
    });
  } else {
    to.m_value.u64 = from.m_value.u64;
  }
  from.m_value.u64 = 0;
  from.m_type = ItemType_Invalid;
  from.m_disposable = false;
}

void VxVariant::Swap(VxVariant& other) noexcept {
  if (!IsInPlaceKind(m_type) && !IsInPlaceKind(other.m_type)) {
    std::swap(m_type, other.m_type);
    std::swap(m_disposable, other.m_disposable);
    std::swap(m_value.u64, other.m_value.u64);
    return;
  }
  VxVariant held;
  Relocate(held, *this);
  Relocate(*this, other);
  Relocate(other, held);
}

template <class T>
void VxVariant::Emplace(ItemType type, T&& value) noexcept {
  using V = std::decay_t<T>;
  static_assert(InPlace<V>::value && sizeof(V) <= sizeof(Slot) && alignof(V) <= alignof(Slot) &&
                std::is_nothrow_move_constructible<V>::value);
  Clear();
  ::new (static_cast<void*>(m_value.bytes)) V(std::move(value));
  m_type = type;
}

VxVariant& VxVariant::operator=(const VxVariant& other) {
  if (this == &other) return *this;
  if (other.m_type < ItemType_Invalid || other.m_type > ItemType_QNameList) {
    Clear();
    throw CVxException(String(VX_T("Unknown Type")));
  }
  // Build the copy apart and swap it in: a failed allocation leaves *this
  // as it was.
  VxVariant copy;
  const void* p = other.Payload();
  bool owned = VisitOwnedType(other.m_type, [&](auto tag) {
    using T = typename decltype(tag)::type;
    if constexpr (InPlace<T>::value)
      ::new (static_cast<void*>(copy.m_value.bytes)) T(*static_cast<const T*>(p));
    else
      copy.m_value.ptr = p ? new T(*static_cast<const T*>(p)) : nullptr;
  });
  // Only now: a copy that failed left `copy` empty.
  copy.m_type = other.m_type;
  if (!owned) {
    // Counted kinds share the object; inline kinds and 0 are the slot itself.
    copy.m_value.u64 = other.m_value.u64;
    bool counted = other.m_type == ItemType_XmlObject || other.m_type == ItemType_XmlCollection;
    if (counted && p != nullptr) AsCountedObject(copy.m_value.ptr)->AddRef();
  }
  Swap(copy);
  return *this;
}

void VxVariant::Clear() noexcept {
  void* p = const_cast<void*>(Payload());
  bool owned = VisitOwnedType(m_type, [p](auto tag) {
    using T = typename decltype(tag)::type;
    if constexpr (InPlace<T>::value)
      static_cast<T*>(p)->~T();
    else
      DeleteOwned<T>(p);
  });
  if (!owned && (m_type == ItemType_XmlObject || m_type == ItemType_XmlCollection) && p != nullptr)
    AsCountedObject(p)->Release();
  m_value.u64 = 0;
  m_type = ItemType_Invalid;
  m_disposable = false;
}

void VxVariant::SetOwned(ItemType type, void* object) noexcept {
  Clear();
  m_type = type;
  m_value.ptr = object;
}

// The heap copy is made before Clear, so a failed copy leaves the old value.
void VxVariant::SetHexBinary(const CBinaryData& v) { SetOwned(ItemType_hexBinary, new CBinaryData(v)); }
void VxVariant::SetBase64Binary(const CBinaryData& v) {
  SetOwned(ItemType_base64Binary, new CBinaryData(v));
}
void VxVariant::SetDuration(const CDateTimeSpan& v) {
  SetOwned(ItemType_duration, new CDateTimeSpan(v));
}
// The values held in the slot: copied first, then moved in.
void VxVariant::SetYearMonth(const CDateTime& v) { Emplace(ItemType_yearMonth, CDateTime(v)); }
void VxVariant::SetMonthDay(const CDateTime& v) { Emplace(ItemType_monthDay, CDateTime(v)); }
void VxVariant::SetDate(const CDateTime& v) { Emplace(ItemType_date, CDateTime(v)); }
void VxVariant::SetDateTime(const CDateTime& v) { Emplace(ItemType_datetime, CDateTime(v)); }
void VxVariant::SetTime(const CDateTime& v) { Emplace(ItemType_time, CDateTime(v)); }
void VxVariant::SetString(String v) { Emplace(ItemType_string, std::move(v)); }
void VxVariant::SetDecimal(const CDecimal& v) { Emplace(ItemType_decimal, CDecimal(v)); }
void VxVariant::SetInteger(const CBigInteger& v) { Emplace(ItemType_integer, CBigInteger(v)); }
void VxVariant::SetQName(const CQName& v) { SetOwned(ItemType_QName, new CQName(v)); }
void VxVariant::SetQNameList(const CQNameList& v) {
  SetOwned(ItemType_QNameList, new CQNameList(v));
}

void VxVariant::SetI1(char v) { Clear(); m_type = ItemType_i1; m_value.i1 = v; }
void VxVariant::SetI2(short v) { Clear(); m_type = ItemType_i2; m_value.i2 = v; }
void VxVariant::SetI4(int32_t v) { Clear(); m_type = ItemType_i4; m_value.i4 = v; }
void VxVariant::SetI8(int64_t v) { Clear(); m_type = ItemType_i8; m_value.i8 = v; }
void VxVariant::SetUI1(unsigned char v) { Clear(); m_type = ItemType_ui1; m_value.u1 = v; }
void VxVariant::SetUI2(unsigned short v) { Clear(); m_type = ItemType_ui2; m_value.u2 = v; }
void VxVariant::SetUI4(uint32_t v) { Clear(); m_type = ItemType_ui4; m_value.u4 = v; }
void VxVariant::SetUI8(uint64_t v) { Clear(); m_type = ItemType_ui8; m_value.u64 = v; }
void VxVariant::SetR4(float v) { Clear(); m_type = ItemType_r4; m_value.r4 = v; }
void VxVariant::SetR8(double v) { Clear(); m_type = ItemType_r8; m_value.r8 = v; }
void VxVariant::SetYear(unsigned short v) { Clear(); m_type = ItemType_year; m_value.u2 = v; }
void VxVariant::SetMonth(unsigned char v) { Clear(); m_type = ItemType_month; m_value.u1 = v; }
void VxVariant::SetDay(unsigned char v) { Clear(); m_type = ItemType_day; m_value.u1 = v; }
void VxVariant::SetChar(unsigned short v) { Clear(); m_type = ItemType_char; m_value.u2 = v; }
void VxVariant::SetBoolean(bool v) { Clear(); m_type = ItemType_boolean; m_value.u1 = v ? 1 : 0; }

void VxVariant::SetXmlObject(CXmlObjectBase* value) {
  // The new reference first: setting the object already held is safe.
  if (value != nullptr) value->AddRef();
  Clear();
  m_type = ItemType_XmlObject;
  m_value.ptr = value;
}

CSmartPtr<CXmlObjectBase> VxVariant::GetXmlObject() const {
  // Any other kind's slot is not an object pointer: counting it would write
  // through a number or a string.
  if (m_type != ItemType_XmlObject && m_type != ItemType_XmlCollection)
    return CSmartPtr<CXmlObjectBase>();
  return CSmartPtr<CXmlObjectBase>(AsCountedObject(m_value.ptr));
}


void VxVariant::ThrowWrongKind(const unsigned short* kind) const {
  throw CVxInvalidStateException(
      FormatString(VX_T("The variant does not hold a %s value"), kind));
}

CBinaryData VxVariant::GetHexBinary() const {
  if ((m_type != ItemType_hexBinary && m_type != ItemType_base64Binary) || !m_value.ptr)
    ThrowWrongKind(VX_T("hexBinary"));
  return *static_cast<const CBinaryData*>(m_value.ptr);
}

CBinaryData VxVariant::GetBase64Binary() const {
  if ((m_type != ItemType_hexBinary && m_type != ItemType_base64Binary) || !m_value.ptr)
    ThrowWrongKind(VX_T("base64Binary"));
  return *static_cast<const CBinaryData*>(m_value.ptr);
}

CDateTimeSpan VxVariant::GetDuration() const {
  if (m_type != ItemType_duration || !m_value.ptr) ThrowWrongKind(VX_T("duration"));
  return *static_cast<const CDateTimeSpan*>(m_value.ptr);
}

// The date kinds differ only in the item type; any of them may be read by
// any of the date getters.
CDateTime VxVariant::GetDate() const {
  if (!IsDateKind(m_type)) ThrowWrongKind(VX_T("date"));
  return *static_cast<const CDateTime*>(Payload());
}
CDateTime VxVariant::GetDateTime() const { return GetDate(); }
CDateTime VxVariant::GetTime() const { return GetDate(); }
CDateTime VxVariant::GetYearMonth() const { return GetDate(); }
CDateTime VxVariant::GetMonthDay() const { return GetDate(); }

String VxVariant::GetString() const {
  if (m_type != ItemType_string) ThrowWrongKind(VX_T("string"));
  return *static_cast<const String*>(Payload());
}

String VxVariant::TakeString() {
  if (m_type != ItemType_string) ThrowWrongKind(VX_T("string"));
  String* held = reinterpret_cast<String*>(m_value.bytes);
  if (!m_disposable) return *held;
  String taken = std::move(*held);
  held->clear();
  return taken;
}

CDecimal VxVariant::GetDecimal() const {
  if (m_type != ItemType_decimal) ThrowWrongKind(VX_T("decimal"));
  return *static_cast<const CDecimal*>(Payload());
}

CQName VxVariant::GetQName() const {
  if (m_type != ItemType_QName || !m_value.ptr) ThrowWrongKind(VX_T("QName"));
  return *static_cast<const CQName*>(m_value.ptr);
}

CQNameList VxVariant::GetQNameList() const {
  if (m_type != ItemType_QNameList || !m_value.ptr) ThrowWrongKind(VX_T("QNameList"));
  return *static_cast<const CQNameList*>(m_value.ptr);
}

CBigInteger VxVariant::GetInteger() const {
  if (m_type != ItemType_integer) ThrowWrongKind(VX_T("integer"));
  return *static_cast<const CBigInteger*>(Payload());
}

String VxVariant::GetType() const {
  if (!IsConvertible(m_type))
    throw CVxException(FormatString(VX_T("Invalid Type %d"), static_cast<int>(m_type)));
  return String(kTypeNames[m_type]);
}

String VxVariant::ToString(const unsigned short* format) const {
  switch (m_type) {
    case ItemType_hexBinary: return CConversions::hexBinaryToString(GetHexBinary());
    case ItemType_base64Binary: return CConversions::base64BinaryToString(GetBase64Binary());
    case ItemType_i1: return CConversions::i1ToString(GetI1());
    case ItemType_i2: return CConversions::i2ToString(GetI2());
    case ItemType_i4: return CConversions::i4ToString(GetI4());
    case ItemType_i8: return CConversions::i8ToString(GetI8());
    case ItemType_ui1: return CConversions::ui1ToString(GetUI1());
    case ItemType_ui2: return CConversions::ui2ToString(GetUI2());
    case ItemType_ui4: return CConversions::ui4ToString(GetUI4());
    case ItemType_ui8: return CConversions::ui8ToString(GetUI8());
    case ItemType_r4: return CConversions::r4ToString(GetR4(), format);
    case ItemType_r8: return CConversions::r8ToString(GetR8(), format);
    case ItemType_duration: return CConversions::durationToString(GetDuration());
    case ItemType_yearMonth:
    case ItemType_monthDay:
    case ItemType_date:
    case ItemType_datetime:
    case ItemType_time:
      return CConversions::dateToString(*static_cast<const CDateTime*>(Payload()));
    case ItemType_year: return CConversions::yearToString(GetYear());
    case ItemType_month: return CConversions::monthToString(GetMonth());
    case ItemType_day: return CConversions::dayToString(GetDay());
    case ItemType_char: return CConversions::charToString(GetChar());
    case ItemType_string:
      return *static_cast<const String*>(Payload());
    case ItemType_boolean: return CConversions::booleanToString(GetBoolean());
    case ItemType_decimal:
      return CConversions::decimalToString(*static_cast<const CDecimal*>(Payload()), format);
    case ItemType_integer:
      return CConversions::integerToString(*static_cast<const CBigInteger*>(Payload()));
    case ItemType_QName:
      if (!m_value.ptr) ThrowWrongKind(VX_T("QName"));
      return static_cast<const CQName*>(m_value.ptr)->ToString();
    case ItemType_QNameList:
      if (!m_value.ptr) ThrowWrongKind(VX_T("QNameList"));
      return CQName::ListToString(*static_cast<const CQNameList*>(m_value.ptr));
    default:
      ThrowNotConvertible(m_type);
  }
}

void VxVariant::FromString(const String& text, ItemType type,
                           CWhitespaceUtils::WhitespaceRule rule) {
  using C = CConversions;
  // Every conversion runs before the setter: a throwing conversion leaves
  // the variant untouched.
  switch (type) {
    case ItemType_hexBinary: SetHexBinary(C::hexBinaryFromString(text, rule)); break;
    case ItemType_base64Binary: SetBase64Binary(C::base64BinaryFromString(text, rule)); break;
    case ItemType_i1: SetI1(C::i1FromString(text, rule)); break;
    case ItemType_i2: SetI2(C::i2FromString(text, rule)); break;
    case ItemType_i4: SetI4(C::i4FromString(text, rule)); break;
    case ItemType_i8: SetI8(C::i8FromString(text, rule)); break;
    case ItemType_ui1: SetUI1(C::ui1FromString(text, rule)); break;
    case ItemType_ui2: SetUI2(C::ui2FromString(text, rule)); break;
    case ItemType_ui4: SetUI4(C::ui4FromString(text, rule)); break;
    case ItemType_ui8: SetUI8(static_cast<uint64_t>(C::i8FromString(text, rule))); break;
    case ItemType_r4: SetR4(C::r4FromString(text, rule)); break;
    case ItemType_r8: SetR8(C::r8FromString(text, rule)); break;
    case ItemType_duration: SetDuration(C::durationFromString(text, rule)); break;
    case ItemType_yearMonth: SetYearMonth(C::yearMonthFromString(text, rule)); break;
    case ItemType_monthDay: SetMonthDay(C::monthDayFromString(text, rule)); break;
    case ItemType_year: SetYear(C::yearFromString(text, rule)); break;
    case ItemType_month: SetMonth(C::monthFromString(text, rule)); break;
    case ItemType_day: SetDay(C::dayFromString(text, rule)); break;
    case ItemType_date: SetDate(C::dateFromString(text, rule)); break;
    case ItemType_datetime: SetDateTime(C::datetimeFromString(text, rule)); break;
    case ItemType_time: SetTime(C::timeFromString(text, rule)); break;
    case ItemType_char: SetChar(C::charFromString(text, rule)); break;
    case ItemType_string: Emplace(ItemType_string, C::stringFromString(text, rule)); break;
    case ItemType_boolean: SetBoolean(C::booleanFromString(text, rule)); break;
    // Moved in rather than copied by the setter.
    case ItemType_decimal: Emplace(ItemType_decimal, C::decimalFromString(text, rule)); break;
    case ItemType_integer: Emplace(ItemType_integer, C::integerFromString(text, rule)); break;
    case ItemType_QName:
      SetOwned(ItemType_QName, new CQName(CQName::Parse(CWhitespaceUtils::ApplyRule(rule, text))));
      break;
    case ItemType_QNameList:
      SetOwned(ItemType_QNameList,
               new CQNameList(CQName::ParseList(CWhitespaceUtils::ApplyRule(rule, text))));
      break;
    default: ThrowNotConvertible(type);
  }
}

void VxVariant::FromText(const unsigned short* text, size_t length, ItemType type,
                         CWhitespaceUtils::WhitespaceRule rule) {
  if (type == ItemType_string && rule == CWhitespaceUtils::WhitespaceRule_Preserve &&
      length <= static_cast<size_t>(INT_MAX)) {
    // Made once, as Preserve makes it, and moved in.
    Emplace(ItemType_string, length != 0 ? CWhitespaceUtils::Preserve(text, static_cast<int>(length))
                                         : String());
    return;
  }
  FromString(length != 0 ? String(text, length) : String(), type, rule);
}

}  // namespace VxVevAva5
