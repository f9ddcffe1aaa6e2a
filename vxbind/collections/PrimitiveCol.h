// -----------------------------------------------------------------------------
// File: PrimitiveCol.h
// -----------------------------------------------------------------------------
//
// The primitive collections: the holders of repeated simple-typed members,
// one class per item type, named after it (Ci4Col, CstringCol, CdateCol, ...,
// and CQNameCol and CQNameListCol, whose items are read and written with the
// namespace declarations in scope, like every QName value).
// Each stores its values in insertion order, checks every value against the
// member's facets when it is added (reading included), writes each value as
// an element of its own and reads a run of such elements back.
//
//   CSmartPtr<Ci4Col> sizes = new Ci4Col(VX_T("size"), VX_T("urn:shop"), 0, -1,
//       nullptr, -1, -1, VX_T("1"), nullptr, nullptr, VX_T("100"), -1,
//       CWhitespaceUtils::WhitespaceRule_Collapse, nullptr);
//   sizes->Add(42);
//   sizes->Add(100);  // throws CVxException "Invalid Value for size [100]"
//
// Every class but the date collections is CPrimitiveCol<its item type>; the
// five date collections (CyearMonthCol, CmonthDayCol, CdateCol, CdatetimeCol,
// CtimeCol) share CdatetimeBaseCol, whose Add and AddAt are virtual and
// which refuses a CDateTime of another date kind.
//
// The value types are those of ItemTypeTraits (PrimitiveRestrictions.h):
// int32_t for Ci4Col, String for CstringCol, CDateTime for the date
// collections and so on. Failures leave the collection unchanged:
//   AddAt, Add             CVxInvalidParamException "Index out of range"; the
//                          facet check's exception
//   Item, Remove           CVxInvalidParamException "Index %d is out of
//                          range, use 0 - %d" (the index and the count)
//   writing                ValidateCount's count errors, before anything is
//                          written
//   reading                the conversion's errors, the facet check's
// Add, AddAt and Remove tell the listeners; Clear does not.

#ifndef VXBIND_COLLECTIONS_PRIMITIVECOL_H
#define VXBIND_COLLECTIONS_PRIMITIVECOL_H

#include <cstddef>
#include <cstring>
#include <memory>
#include <type_traits>
#include <vector>

#include "vxbind/base/InstanceMonitor.h"
#include "vxbind/collections/XmlCollectionBase.h"
#include "vxbind/conversions/PrimitiveRestrictions.h"
#include "vxbind/conversions/Variant.h"
#include "vxbind/conversions/WhitespaceUtils.h"
#include "vxbind/platform/Export.h"
#include "vxbind/platform/String.h"
#include "vxbind/values/DateTime.h"

namespace VxVevAva5 {

// The values of a CbooleanCol: a plain array of bool, because
// std::vector<bool> packs bits and cannot hand out bool pointers.
class CBoolArray {
 public:
  CBoolArray() = default;
  CBoolArray(const CBoolArray& other) { *this = other; }
  CBoolArray& operator=(const CBoolArray& other) {
    if (this == &other) return *this;
    std::unique_ptr<bool[]> data(other.m_size ? new bool[other.m_size] : nullptr);
    if (other.m_size) std::memcpy(data.get(), other.m_data.get(), other.m_size);
    m_data = std::move(data);
    m_size = m_capacity = other.m_size;
    return *this;
  }
  size_t size() const { return m_size; }
  bool* data() { return m_data.get(); }
  const bool* data() const { return m_data.get(); }
  bool operator[](size_t i) const { return m_data[i]; }
  void clear() { m_size = 0; }
  void insert(size_t at, bool value) {
    if (m_size == m_capacity) {
      size_t capacity = m_capacity ? 2 * m_capacity : 16;
      std::unique_ptr<bool[]> data(new bool[capacity]);
      if (m_size) std::memcpy(data.get(), m_data.get(), m_size);
      m_data = std::move(data);
      m_capacity = capacity;
    }
    std::memmove(m_data.get() + at + 1, m_data.get() + at, m_size - at);
    m_data[at] = value;
    ++m_size;
  }
  void erase(size_t at) {
    std::memmove(m_data.get() + at, m_data.get() + at + 1, m_size - at - 1);
    --m_size;
  }

 private:
  std::unique_ptr<bool[]> m_data;
  size_t m_size = 0;
  size_t m_capacity = 0;
};

// The bounds of a numeric collection, converted once: minimum inclusive,
// maximum inclusive, minimum exclusive, maximum exclusive.
template <class T>
struct CNumericBounds {
  T value[4] = {};
  unsigned char present = 0;  // bit i: bound i is in force
  bool usable = true;         // false: some bound text did not convert
  bool Keeps(T v) const {
    return usable && (!(present & 1) || v >= value[0]) && (!(present & 2) || v <= value[1]) &&
           (!(present & 4) || v > value[2]) && (!(present & 8) || v < value[3]);
  }
};

// The collection of one item type. Use the named classes below (Ci4Col, ...);
// this template only keeps them from being 20 copies of one class.
template <ItemType kType>
class VXBIND_EXPORT CPrimitiveCol : public CXmlTypeCollection, public CInstanceMonitor {
 public:
  using ValueType = typename ItemTypeTraits<kType>::ValueType;
  // How Add and AddAt take a value: numbers and strings by value, the other
  // objects by const reference.
  using ArgType = typename std::conditional<kType == ItemType_string, String,
                                            typename ItemTypeTraits<kType>::ArgType>::type;

  // The item elements' name and namespace, the bounds of the count
  // (maximum -1: unbounded), the facets in CPrimitiveRestrictions' order, the
  // whitespace rule applied when reading, and the format handed to the
  // writing conversion (r4, r8: a printf format; decimal: fraction digits;
  // null for the default). The format is not copied.
  CPrimitiveCol(const unsigned short* elementName, const unsigned short* namespaceUri,
                int minOccurs, int maxOccurs, const unsigned short* pattern, int minLength,
                int maxLength, const unsigned short* minInclusive,
                const unsigned short* maxInclusive, const unsigned short* minExclusive,
                const unsigned short* maxExclusive, int length,
                CWhitespaceUtils::WhitespaceRule whitespaceRule, const unsigned short* format);
  // Copies the values (and starts without listeners, like every collection).
  CPrimitiveCol(const CPrimitiveCol& other);
  CPrimitiveCol& operator=(const CPrimitiveCol& other);
  ~CPrimitiveCol() override;

  // AddAt(GetCount(), value). Inline for numbers: a value that keeps the
  // bounds is appended here, anything else goes through AddAt.
  void Add(ArgType value) {
    if constexpr (kNumeric) {
      if (m_bounds.Keeps(value)) {
        m_values.push_back(value);
        FireOnCollectionChange();
        return;
      }
    }
    AddAt(static_cast<int>(m_values.size()), std::move(value));
  }
  // Checks the value's facets and inserts it so that it ends at `index`
  // (0..count; count appends); then tells the listeners.
  void AddAt(int index, ArgType value);
  // A copy of the value at `index`.
  ValueType Item(int index) const;
  int GetCount() const override;
  // Removes every value without telling the listeners.
  void Clear() override;
  void Remove(int index) override;
  // Integer items under totalDigits leave the inline path of Add.
  void SetDigits(int totalDigits, int fractionDigits) override;

  // The values in order; any change invalidates these pointers.
  ValueType* begin();
  ValueType* end();
  const ValueType* begin() const;
  const ValueType* end() const;

 protected:
  // Each value as an element <name>text</name> in the collection's own
  // namespace, after ValidateCount.
  void ToXml_Int(CXmlWriter* writer, bool root, const unsigned short* namespaceUri,
                 const CXmlSerializationContext& context, bool optional) const override;
  void AddFromString(String text) override;
  void AddFromElement(const CXmlElement& element) override;

 private:
  using Storage = typename std::conditional<std::is_same<ValueType, bool>::value, CBoolArray,
                                            std::vector<ValueType>>::type;
  // Numbers: the four bounds converted when the collection is made, so that
  // adding a value that keeps them takes a few comparisons; any other value
  // (or any value, when a bound text did not convert) goes through
  // CheckFacets, which reports it.
  static constexpr bool kNumeric =
      std::is_arithmetic<ValueType>::value && !std::is_same<ValueType, bool>::value;
  struct NoBounds {};
  using Bounds = typename std::conditional<kNumeric, CNumericBounds<ValueType>, NoBounds>::type;

  Storage m_values;
  Bounds m_bounds;
};

// The base of the date collections: CDateTime values whose date kind must
// be the collection's.
class VXBIND_EXPORT CdatetimeBaseCol : public CXmlTypeCollection {
 public:
  int GetCount() const override;
  // Removes every value without telling the listeners.
  void Clear() override;
  void Remove(int index) override;

  // AddAt(GetCount(), value).
  virtual void Add(const CDateTime& value);
  // Refuses a value of another date kind (CVxInvalidParamException "Dates
  // added to this collection must be of type dt_date", ...), checks its
  // facets, then inserts it at `index` (BaseAddAt).
  virtual void AddAt(int index, const CDateTime& value) = 0;
  virtual CDateTime Item(int index) const;

  CDateTime* begin();
  CDateTime* end();
  const CDateTime* begin() const;
  const CDateTime* end() const;

 protected:
  CdatetimeBaseCol(ItemType itemType, const unsigned short* elementName,
                   const unsigned short* namespaceUri, int minOccurs, int maxOccurs,
                   const unsigned short* pattern, int minLength, int maxLength,
                   const unsigned short* minInclusive, const unsigned short* maxInclusive,
                   const unsigned short* minExclusive, const unsigned short* maxExclusive,
                   int length, CWhitespaceUtils::WhitespaceRule whitespaceRule,
                   const unsigned short* format);
  CdatetimeBaseCol(const CdatetimeBaseCol& other);
  CdatetimeBaseCol& operator=(const CdatetimeBaseCol& other);
  ~CdatetimeBaseCol() override;

  // The text an item is written with.
  virtual String ItemToString(const CDateTime& value) const = 0;
  // Inserts without kind or facet check: "Index out of range" outside
  // 0..count; then tells the listeners.
  void BaseAddAt(int index, const CDateTime& value);
  void ToXml_Int(CXmlWriter* writer, bool root, const unsigned short* namespaceUri,
                 const CXmlSerializationContext& context, bool optional) const override;

 private:
  std::vector<CDateTime> m_values;
};

// One date collection; use the named classes below.
template <ItemType kType>
class VXBIND_EXPORT CDateKindCol : public CdatetimeBaseCol, public CInstanceMonitor {
 public:
  // As CPrimitiveCol's constructor.
  CDateKindCol(const unsigned short* elementName, const unsigned short* namespaceUri, int minOccurs,
               int maxOccurs, const unsigned short* pattern, int minLength, int maxLength,
               const unsigned short* minInclusive, const unsigned short* maxInclusive,
               const unsigned short* minExclusive, const unsigned short* maxExclusive, int length,
               CWhitespaceUtils::WhitespaceRule whitespaceRule, const unsigned short* format);
  CDateKindCol(const CDateKindCol& other);
  CDateKindCol& operator=(const CDateKindCol& other);
  ~CDateKindCol() override;

  void AddAt(int index, const CDateTime& value) override;

 protected:
  String ItemToString(const CDateTime& value) const override;
  void AddFromString(String text) override;
};

// The classes that generated code names. Each is its base under its own
// name; the destructor is out of line so that the class's vtable lives in
// the library.
#define VX_DECLARE_COLLECTION(Name, Base)         \
  extern template class VXBIND_EXPORT Base;       \
  class VXBIND_EXPORT Name : public Base {        \
   public:                                        \
    using BaseType = Base;                        \
    using BaseType::BaseType;                     \
    Name(const Name& other) = default;            \
    Name& operator=(const Name& other) = default; \
    ~Name() override;                             \
  };

VX_DECLARE_COLLECTION(ChexBinaryCol, CPrimitiveCol<ItemType_hexBinary>)
VX_DECLARE_COLLECTION(Cbase64BinaryCol, CPrimitiveCol<ItemType_base64Binary>)
VX_DECLARE_COLLECTION(Ci1Col, CPrimitiveCol<ItemType_i1>)
VX_DECLARE_COLLECTION(Ci2Col, CPrimitiveCol<ItemType_i2>)
VX_DECLARE_COLLECTION(Ci4Col, CPrimitiveCol<ItemType_i4>)
VX_DECLARE_COLLECTION(Ci8Col, CPrimitiveCol<ItemType_i8>)
VX_DECLARE_COLLECTION(Cui1Col, CPrimitiveCol<ItemType_ui1>)
VX_DECLARE_COLLECTION(Cui2Col, CPrimitiveCol<ItemType_ui2>)
VX_DECLARE_COLLECTION(Cui4Col, CPrimitiveCol<ItemType_ui4>)
VX_DECLARE_COLLECTION(Cui8Col, CPrimitiveCol<ItemType_ui8>)
VX_DECLARE_COLLECTION(Cr4Col, CPrimitiveCol<ItemType_r4>)
VX_DECLARE_COLLECTION(Cr8Col, CPrimitiveCol<ItemType_r8>)
VX_DECLARE_COLLECTION(CdurationCol, CPrimitiveCol<ItemType_duration>)
VX_DECLARE_COLLECTION(CyearMonthCol, CDateKindCol<ItemType_yearMonth>)
VX_DECLARE_COLLECTION(CmonthDayCol, CDateKindCol<ItemType_monthDay>)
VX_DECLARE_COLLECTION(CyearCol, CPrimitiveCol<ItemType_year>)
VX_DECLARE_COLLECTION(CmonthCol, CPrimitiveCol<ItemType_month>)
VX_DECLARE_COLLECTION(CdayCol, CPrimitiveCol<ItemType_day>)
VX_DECLARE_COLLECTION(CdateCol, CDateKindCol<ItemType_date>)
VX_DECLARE_COLLECTION(CdatetimeCol, CDateKindCol<ItemType_datetime>)
VX_DECLARE_COLLECTION(CtimeCol, CDateKindCol<ItemType_time>)
VX_DECLARE_COLLECTION(CstringCol, CPrimitiveCol<ItemType_string>)
VX_DECLARE_COLLECTION(CbooleanCol, CPrimitiveCol<ItemType_boolean>)
VX_DECLARE_COLLECTION(CdecimalCol, CPrimitiveCol<ItemType_decimal>)
VX_DECLARE_COLLECTION(CintegerCol, CPrimitiveCol<ItemType_integer>)
VX_DECLARE_COLLECTION(CQNameCol, CPrimitiveCol<ItemType_QName>)
VX_DECLARE_COLLECTION(CQNameListCol, CPrimitiveCol<ItemType_QNameList>)
#undef VX_DECLARE_COLLECTION

}  // namespace VxVevAva5

#endif  // VXBIND_COLLECTIONS_PRIMITIVECOL_H
