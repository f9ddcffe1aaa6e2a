// -----------------------------------------------------------------------------
// File: Variant.h
// -----------------------------------------------------------------------------
//
// VxVariant: the tagged value through which the library moves the value of
// any simple-typed member between generated classes and the content-model
// metadata; ItemType names the kind held and doubles as the type code that
// metadata and primitive collections carry.
//
// Small kinds live inline in an 8-byte slot. The large kinds (binary data,
// dates, durations, strings, decimals, big integers, QNames and their
// lists) are heap copies that the
// variant owns alone and deep-copies with itself. Object and collection kinds
// hold one counted reference to a library object.
//
//   VxVariant v;
//   v.FromString(text, ItemType_i4, CWhitespaceUtils::WhitespaceRule_Collapse);
//   int32_t n = v.GetI4();
//   String back = v.ToString(nullptr);

#ifndef VXBIND_CONVERSIONS_VARIANT_H
#define VXBIND_CONVERSIONS_VARIANT_H

#include <cstddef>
#include <cstdint>

#include "vxbind/base/SmartPtr.h"
#include "vxbind/base/XmlObjectBase.h"
#include "vxbind/conversions/WhitespaceUtils.h"
#include "vxbind/platform/Export.h"
#include "vxbind/platform/String.h"
#include "vxbind/values/BigInteger.h"
#include "vxbind/values/BinaryData.h"
#include "vxbind/values/DateTime.h"
#include "vxbind/values/DateTimeSpan.h"
#include "vxbind/values/Decimal.h"
#include "vxbind/values/QName.h"

namespace VxVevAva5 {

class CXmlCollectionBase;  // collections/XmlCollectionBase.h

// Kind of value held by a VxVariant. Stored by generated code: the values
// are fixed.
enum ItemType : int32_t {
  ItemType_Invalid = 0,
  ItemType_hexBinary = 1,
  ItemType_base64Binary = 2,
  ItemType_i1 = 3,
  ItemType_i2 = 4,
  ItemType_i4 = 5,
  ItemType_i8 = 6,
  ItemType_ui1 = 7,
  ItemType_ui2 = 8,
  ItemType_ui4 = 9,
  ItemType_ui8 = 10,
  ItemType_r4 = 11,
  ItemType_r8 = 12,
  ItemType_duration = 13,
  ItemType_yearMonth = 14,
  ItemType_monthDay = 15,
  ItemType_year = 16,
  ItemType_month = 17,
  ItemType_day = 18,
  ItemType_date = 19,
  ItemType_datetime = 20,
  ItemType_time = 21,
  ItemType_char = 22,
  ItemType_string = 23,
  ItemType_boolean = 24,
  ItemType_decimal = 25,
  ItemType_integer = 26,
  ItemType_XmlObject = 27,
  ItemType_XmlCollection = 28,
  // An xs:QName (CQName): after the two counted kinds, as they came later.
  ItemType_QName = 29,
  // A list of QNames (CQNameList).
  ItemType_QNameList = 30,
};

struct VXBIND_EXPORT VxVariant {
  // Item type 0, slot zeroed.
  VxVariant() noexcept { m_value.u64 = 0; }
  // Deep copy (see operator=).
  VxVariant(const VxVariant& other);
  // Takes over the value of `other` without copying or counting; `other` is
  // left with item type 0.
  VxVariant(VxVariant&& other) noexcept : VxVariant() { Swap(other); }
  ~VxVariant() { Clear(); }

  // Clears this variant, then copies `other`: inline kinds by value, owned
  // kinds as new heap copies, counted kinds as one more reference. A source
  // item type outside 0..30 throws CVxException "Unknown Type" and leaves
  // this variant empty. Assigning a variant to itself keeps its value.
  VxVariant& operator=(const VxVariant& other);
  // Releases this variant's value and takes over that of `other`, which is
  // left with item type 0.
  VxVariant& operator=(VxVariant&& other) noexcept {
    if (this != &other) {
      Clear();
      Swap(other);
    }
    return *this;
  }

  ItemType GetItemType() const noexcept { return m_type; }
  // True unless the item type is 0.
  bool IsValid() const noexcept { return m_type != ItemType_Invalid; }
  // Frees an owned object or releases a counted reference; item type 0.
  void Clear() noexcept;
  void SetInvalid() noexcept { Clear(); }

  // Setters: Clear, then store the value (large kinds as a heap copy).
  void SetHexBinary(const CBinaryData& value);
  void SetBase64Binary(const CBinaryData& value);
  void SetI1(char value);
  void SetI2(short value);
  void SetI4(int32_t value);
  void SetI8(int64_t value);
  void SetUI1(unsigned char value);
  void SetUI2(unsigned short value);
  void SetUI4(uint32_t value);
  void SetUI8(uint64_t value);
  void SetR4(float value);
  void SetR8(double value);
  void SetDuration(const CDateTimeSpan& value);
  void SetYearMonth(const CDateTime& value);
  void SetMonthDay(const CDateTime& value);
  void SetYear(unsigned short value);
  void SetMonth(unsigned char value);
  void SetDay(unsigned char value);
  void SetDate(const CDateTime& value);
  void SetDateTime(const CDateTime& value);
  void SetTime(const CDateTime& value);
  void SetChar(unsigned short value);
  void SetString(String value);
  void SetBoolean(bool value);
  void SetDecimal(const CDecimal& value);
  void SetInteger(const CBigInteger& value);
  void SetQName(const CQName& value);
  void SetQNameList(const CQNameList& value);
  // Takes a reference on a non-null object.
  void SetXmlObject(CXmlObjectBase* value);
  // Item type 28; takes a reference on a non-null collection. Defined with
  // the collections (collections/XmlCollectionBase.cpp).
  void SetXmlCollection(CXmlCollectionBase* value);

  // Inline getters read the slot as their kind and do not look at the item
  // type: call the one that matches GetItemType().
  char GetI1() const noexcept { return m_value.i1; }
  unsigned char GetUI1() const noexcept { return m_value.u1; }
  unsigned char GetMonth() const noexcept { return m_value.u1; }
  unsigned char GetDay() const noexcept { return m_value.u1; }
  bool GetBoolean() const noexcept { return m_value.u1 != 0; }
  short GetI2() const noexcept { return m_value.i2; }
  unsigned short GetUI2() const noexcept { return m_value.u2; }
  unsigned short GetYear() const noexcept { return m_value.u2; }
  unsigned short GetChar() const noexcept { return m_value.u2; }
  int32_t GetI4() const noexcept { return m_value.i4; }
  uint32_t GetUI4() const noexcept { return m_value.u4; }
  float GetR4() const noexcept { return m_value.r4; }
  int64_t GetI8() const noexcept { return m_value.i8; }
  uint64_t GetUI8() const noexcept { return m_value.u64; }
  double GetR8() const noexcept { return m_value.r8; }

  // Owned-object getters return copies. Called on a variant that does not
  // hold that kind of object, they throw CVxInvalidStateException
  // "The variant does not hold a %s value" naming the kind asked for.
  CBinaryData GetHexBinary() const;
  CBinaryData GetBase64Binary() const;
  CDateTimeSpan GetDuration() const;
  CDateTime GetDate() const;
  CDateTime GetDateTime() const;
  CDateTime GetTime() const;
  CDateTime GetYearMonth() const;
  CDateTime GetMonthDay() const;
  String GetString() const;
  CDecimal GetDecimal() const;
  CBigInteger GetInteger() const;
  CQName GetQName() const;
  CQNameList GetQNameList() const;
  // A new counted reference to the held object; null when none is held,
  // including when the variant holds a value of another kind.
  CSmartPtr<CXmlObjectBase> GetXmlObject() const;
  // A new counted reference to the held collection; null unless the item
  // type is 28. Include XmlCollectionBase.h to use the result.
  CSmartPtr<CXmlCollectionBase> GetXmlCollection() const;

  // The XSD-ish name of the item type ("i4", "dateTime" is "datetime", ...).
  // Throws CVxException "Invalid Type %d" outside 1..26 and 29..30.
  String GetType() const;
  // The lexical form of the value. `format` goes to r4/r8 (a printf format)
  // and decimal (fraction digits as text) only; null picks their defaults.
  // A QName gives "prefix:local" with the prefix it holds; a list of them
  // its items apart by spaces.
  // Throws CVxException "Invalid Type %d to convert to string" outside 1..26
  // and 29..30.
  String ToString(const unsigned short* format) const;
  // Reads `text` as `type` by its conversion (applying `rule` first), then
  // stores it. Throws CVxException "Invalid Type %d to convert to string" for
  // a type outside 1..26 and 29..30; conversion errors pass through. A
  // QName is only split (CQName::Parse, ParseList): its namespace URI stays
  // empty until the reader resolves the prefix where the text stood. On any failure the
  // variant keeps its previous value. ui8 text is read by the signed 64-bit
  // reading and stored as unsigned.
  void FromString(const String& text, ItemType type, CWhitespaceUtils::WhitespaceRule rule);
  // The same for `length` units of text that need not end with a 0: a
  // string is made once from them, and a value of another kind is read
  // without a copy of a text that fits a String's own room.
  void FromText(const unsigned short* text, size_t length, ItemType type,
                CWhitespaceUtils::WhitespaceRule rule);

  // The holder's word that it will not look at the value again: a generated
  // member given it (AccessValue) may then take a string out of it rather
  // than copy it. Any Set or Clear ends it.
  void SetDisposable() noexcept { m_disposable = true; }
  // The held string: moved out, leaving an empty one, when the variant is
  // disposable, else copied (GetString).
  String TakeString();

 private:
  // Exchanges the contents of two variants (no allocation, no counting).
  void Swap(VxVariant& other) noexcept;
  // Moves `from`'s contents into the empty `to`, leaving `from` empty.
  static void Relocate(VxVariant& to, VxVariant& from) noexcept;
  void SetOwned(ItemType type, void* object) noexcept;
  // Holds `value` in the slot itself (strings, decimals, integers, dates).
  template <class T>
  void Emplace(ItemType type, T&& value) noexcept;
  // Where the owned value of the held kind is: the slot, or the heap.
  const void* Payload() const noexcept;
  [[noreturn]] void ThrowWrongKind(const unsigned short* kind) const;

  ItemType m_type = ItemType_Invalid;
  bool m_disposable = false;
  union Slot {
    char i1;
    unsigned char u1;
    short i2;
    unsigned short u2;
    int32_t i4;
    uint32_t u4;
    float r4;
    int64_t i8;
    uint64_t u64;
    double r8;
    void* ptr;
    // A string, decimal, integer or date, constructed here.
    unsigned char bytes[40];
  };
  alignas(8) Slot m_value;
};

}  // namespace VxVevAva5

#endif  // VXBIND_CONVERSIONS_VARIANT_H
