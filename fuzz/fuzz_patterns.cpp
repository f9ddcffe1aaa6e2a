// Facets: a pattern (or bound) text, a value text and an item type.
//
//   byte 0   the item type (one of the 25 that have facet checks)
//   byte 1   length facets: bits 0-1 choose none, a minimum, a maximum or an
//            exact length; bits 2-4 give it (0..7)
//   rest     two texts split at the first zero byte, one code unit per byte,
//            except that 0xFF takes the next two bytes as one unit (little-
//            endian): the pattern for strings, else the bounds ("min|max",
//            minimum inclusive and maximum exclusive); then the value
//
// The value is read as the item type (texts it refuses end the run) and
// checked. A check may refuse only with the library's exception, must give
// the same answer twice, through a copy of the restrictions and through the
// typed check; a collection of the type must take the value exactly when
// the check passes, and stay as it was when it does not.

#include <cstddef>
#include <cstdint>

#include "vxbind/base/Exceptions.h"
#include "vxbind/collections/PrimitiveCol.h"
#include "vxbind/conversions/PrimitiveRestrictions.h"
#include "vxbind/conversions/Variant.h"
#include "vxbind/platform/String.h"

using namespace VxVevAva5;

namespace {

const ItemType kTypes[] = {
    ItemType_hexBinary, ItemType_base64Binary, ItemType_i1,       ItemType_i2,
    ItemType_i4,        ItemType_i8,           ItemType_ui1,      ItemType_ui2,
    ItemType_ui4,       ItemType_ui8,          ItemType_r4,       ItemType_r8,
    ItemType_duration,  ItemType_yearMonth,    ItemType_monthDay, ItemType_year,
    ItemType_month,     ItemType_day,          ItemType_date,     ItemType_datetime,
    ItemType_time,      ItemType_string,       ItemType_boolean,  ItemType_decimal,
    ItemType_integer,
};

String DecodeText(const uint8_t* data, size_t size) {
  String text;
  text.reserve(size);
  for (size_t i = 0; i < size; ++i) {
    if (data[i] == 0xFF && i + 2 < size) {
      text.push_back(static_cast<unsigned short>(data[i + 1] | (data[i + 2] << 8)));
      i += 2;
    } else {
      text.push_back(data[i]);
    }
  }
  return text;
}

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

// "" when `f` passes, else the message of the library's exception.
template <class F>
String Outcome(F f) {
  try {
    f();
    return String();
  } catch (const CVxException& e) {
    String message = e.GetMessage();
    return message.empty() ? String(VX_T("(empty message)")) : message;
  }
}

// A collection of the type takes the value exactly when the check passes.
template <class Col, class T>
void CheckCollection(const T& value, const String& expected, const String& pattern,
                     const String& low, const String& high, const int lengths[3]) {
  CSmartPtr<Col> col = new Col(VX_T("v"), VX_T(""), 0, -1, pattern.c_str(), lengths[0], lengths[1],
                               low.c_str(), nullptr, nullptr, high.c_str(), lengths[2],
                               CWhitespaceUtils::WhitespaceRule_Collapse, nullptr);
  String outcome = Outcome([&] { col->Add(value); });
  Check(outcome == expected);
  Check(col->GetCount() == (expected.empty() ? 1 : 0));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  ItemType type = kTypes[data[0] % (sizeof kTypes / sizeof kTypes[0])];
  int lengths[3] = {-1, -1, -1};  // minimum, maximum, exact
  if ((data[1] & 3) != 0) lengths[(data[1] & 3) - 1] = (data[1] >> 2) & 7;
  const uint8_t* rest = data + 2;
  size_t restSize = size - 2, split = 0;
  while (split < restSize && rest[split] != 0) ++split;
  String first = DecodeText(rest, split);
  String valueText =
      split < restSize ? DecodeText(rest + split + 1, restSize - split - 1) : String();

  String pattern, low, high;
  if (type == ItemType_string) {
    pattern = first;
  } else {
    size_t bar = first.find(u'|');
    low = first.substr(0, bar);
    high = bar == String::npos ? String() : first.substr(bar + 1);
  }
  CPrimitiveRestrictions facets(pattern.c_str(), lengths[0], lengths[1], low.c_str(), nullptr,
                                nullptr, high.c_str(), lengths[2]);

  VxVariant value;
  try {
    value.FromString(valueText, type, CWhitespaceUtils::WhitespaceRule_Collapse);
  } catch (const CVxException&) {
    return 0;
  }
  String expected = Outcome([&] { CheckFacets(VX_T("v"), value, type, facets); });
  Check(Outcome([&] { CheckFacets(VX_T("v"), value, type, facets); }) == expected);
  CPrimitiveRestrictions copy(facets);
  Check(Outcome([&] { CheckFacets(VX_T("v"), value, type, copy); }) == expected);

  switch (type) {
    case ItemType_string: {
      String s = value.GetString();
      Check(Outcome([&] { CheckFacets<ItemType_string>(VX_T("v"), s, facets); }) == expected);
      CheckCollection<CstringCol>(s, expected, pattern, low, high, lengths);
      break;
    }
    case ItemType_i4: {
      int32_t n = value.GetI4();
      Check(Outcome([&] { CheckFacets<ItemType_i4>(VX_T("v"), n, facets); }) == expected);
      CheckCollection<Ci4Col>(n, expected, pattern, low, high, lengths);
      break;
    }
    case ItemType_date: {
      CDateTime d = value.GetDate();
      // A date collection refuses other date kinds before any facet.
      if (d.GetType() == CDateTime::dt_date)
        CheckCollection<CdateCol>(d, expected, pattern, low, high, lengths);
      break;
    }
    case ItemType_decimal:
      CheckCollection<CdecimalCol>(value.GetDecimal(), expected, pattern, low, high, lengths);
      break;
    case ItemType_hexBinary:
      CheckCollection<ChexBinaryCol>(value.GetHexBinary(), expected, pattern, low, high, lengths);
      break;
    default:
      break;
  }
  return 0;
}
