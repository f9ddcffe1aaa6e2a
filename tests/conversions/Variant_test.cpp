#include "vxbind/conversions/Variant.h"

#include <cstring>
#include <string>
#include <utility>

#include "support/Nodes.h"
#include "support/Text.h"

using namespace VxVevAva5;
using vxtest::CTestNode;
using vxtest::ToUtf8;
using vxtest::U;

namespace {

constexpr auto kPreserve = CWhitespaceUtils::WhitespaceRule_Preserve;
constexpr auto kCollapse = CWhitespaceUtils::WhitespaceRule_Collapse;

struct RoundTrip {
  ItemType type;
  const char* name;       // what GetType() gives
  const char* text;       // read with Collapse
  const char* canonical;  // what ToString(nullptr) gives back
};

const RoundTrip kRoundTrips[] = {
    {ItemType_hexBinary, "hexBinary", "00abff", "00ABFF"},
    {ItemType_base64Binary, "base64Binary", "YWJj", "YWJj"},
    {ItemType_i1, "i1", "-128", "-128"},
    {ItemType_i2, "i2", "+32767", "32767"},
    {ItemType_i4, "i4", " -2147483648 ", "-2147483648"},
    {ItemType_i8, "i8", "-9223372036854775808", "-9223372036854775808"},
    {ItemType_ui1, "ui1", "255", "255"},
    {ItemType_ui2, "ui2", "65535", "65535"},
    {ItemType_ui4, "ui4", "4294967295", "4294967295"},
    {ItemType_ui8, "ui8", "18446744073709551615", "18446744073709551615"},
    {ItemType_r4, "r4", "0.1", "0.1"},
    {ItemType_r4, "r4", "3.4028235E38", "3.4028235e+38"},
    {ItemType_r4, "r4", "0.333333343267", "0.33333334"},
    {ItemType_r4, "r4", "NaN", "NaN"},
    {ItemType_r8, "r8", "1.5e3", "1500"},
    {ItemType_r8, "r8", " 1.7976931348623157E308 ", "1.7976931348623157e+308"},
    {ItemType_r8, "r8", "-INF", "-INF"},
    {ItemType_r8, "r8", "-0.0", "-0"},
    {ItemType_duration, "duration", "P1Y2M3DT4H5M6S", "P1Y2M3DT4H5M6S"},
    {ItemType_yearMonth, "yearMonth", "2004-05", "2004-05"},
    {ItemType_monthDay, "monthDay", "--05-31", "--05-31"},
    {ItemType_year, "year", "2004", "2004"},
    {ItemType_month, "month", "--07", "--07"},
    {ItemType_day, "day", "---03", "---03"},
    {ItemType_date, "date", "2004-02-29", "2004-02-29"},
    {ItemType_datetime, "datetime", "2004-02-29T12:30:00", "2004-02-29T12:30:00"},
    {ItemType_time, "time", "23:59:59", "23:59:59"},
    {ItemType_char, "char", "x", "x"},
    {ItemType_string, "string", " a  b ", "a b"},
    {ItemType_boolean, "boolean", "1", "true"},
    {ItemType_decimal, "decimal", "-0012.500", "-12.5"},
    {ItemType_integer, "integer", "+000123456789012345678901234567890",
     "123456789012345678901234567890"},
    {ItemType_QName, "QName", " soap:Server ", "soap:Server"},
};

}  // namespace

TEST(VxVariant, EveryItemTypeRoundTripsThroughItsConversions) {
  for (const RoundTrip& c : kRoundTrips) {
    SCOPED_TRACE(c.name);
    VxVariant v;
    v.FromString(U(c.text), c.type, kCollapse);
    EXPECT_EQ(v.GetItemType(), c.type);
    EXPECT_EQ(ToUtf8(v.GetType()), c.name);
    EXPECT_EQ(ToUtf8(v.ToString(nullptr)), c.canonical);
    // The canonical form is a fixed point, also through a copy.
    VxVariant again;
    again.FromString(U(c.canonical), c.type, kPreserve);
    EXPECT_EQ(ToUtf8(VxVariant(again).ToString(nullptr)), c.canonical);
  }
}

TEST(VxVariant, SettersAndGettersShareSlots) {
  VxVariant v;
  v.SetUI8(UINT64_MAX);
  EXPECT_EQ(v.GetI8(), -1);
  v.SetBoolean(true);
  EXPECT_EQ(v.GetUI1(), 1);
  v.SetR8(0.25);
  EXPECT_EQ(ToUtf8(v.ToString(VX_T("%.3f"))), "0.250");
  v.SetR8(0.1 + 0.2);
  EXPECT_EQ(ToUtf8(v.ToString(nullptr)), "0.30000000000000004");
  v.SetR4(1.0f / 3);
  EXPECT_EQ(ToUtf8(v.ToString(nullptr)), "0.33333334");
  EXPECT_EQ(ToUtf8(v.ToString(VX_T("%.7g"))), "0.3333333");  // a given format is followed
  v.SetDecimal(CDecimal(VX_T("2.71828")));
  EXPECT_EQ(ToUtf8(v.ToString(VX_T("3"))), "2.718");
  // Reading an owned object of another kind is refused, not a wild read.
  v.SetI4(5);
  EXPECT_VX_THROW(v.GetString(), CVxInvalidStateException,
                  "The variant does not hold a string value");
  EXPECT_EQ(v.GetXmlObject().get(), nullptr);  // not 5 taken as a pointer
}

TEST(VxVariant, InvalidAndUnknownTypesThrow) {
  VxVariant v;
  EXPECT_FALSE(v.IsValid());
  EXPECT_VX_THROW(v.GetType(), CVxException, "Invalid Type 0");
  EXPECT_VX_THROW(v.ToString(nullptr), CVxException, "Invalid Type 0 to convert to string");
  int deleted = 0;
  v.SetXmlObject(new CTestNode("n", "", &deleted));
  EXPECT_VX_THROW(v.GetType(), CVxException, "Invalid Type 27");
  EXPECT_VX_THROW(v.ToString(nullptr), CVxException, "Invalid Type 27 to convert to string");
  v.Clear();
  EXPECT_EQ(deleted, 1);
  // A source whose item type is out of range (only possible through memory
  // corruption) is refused and leaves the target empty.
  VxVariant corrupt;
  int32_t bogus = 99;
  std::memcpy(static_cast<void*>(&corrupt), &bogus, sizeof bogus);
  v.SetI4(1);
  EXPECT_VX_THROW(v = corrupt, CVxException, "Unknown Type");
  EXPECT_FALSE(v.IsValid());
  corrupt.Clear();  // an unknown type is only reset
  EXPECT_FALSE(corrupt.IsValid());
}

TEST(VxVariant, FailedFromStringKeepsThePreviousValue) {
  VxVariant v;
  v.SetDecimal(CDecimal(VX_T("1.25")));
  EXPECT_VX_THROW(v.FromString(U("abc"), ItemType_i4, kPreserve), CVxInvalidValueException,
                  "The value [abc] can not be converted to a i4");
  EXPECT_THROW(v.FromString(U("zz"), ItemType_hexBinary, kPreserve), CVxException);
  EXPECT_THROW(v.FromString(U("x"), ItemType_integer, kPreserve), CVxException);
  for (int bad : {0, 27, 28, 99, -1})
    EXPECT_VX_THROW(v.FromString(U("1"), static_cast<ItemType>(bad), kPreserve), CVxException,
                    "Invalid Type " + std::to_string(bad) + " to convert to string");
  EXPECT_EQ(v.GetItemType(), ItemType_decimal);
  EXPECT_EQ(ToUtf8(v.ToString(nullptr)), "1.25");
}

TEST(VxVariant, CopiesOfOwnedKindsAreIndependent) {
  VxVariant a, s, t, bin;
  a.SetDecimal(CDecimal(VX_T("10.5")));
  VxVariant b = a;
  b.SetDecimal(CDecimal(VX_T("3")));
  EXPECT_EQ(ToUtf8(a.ToString(nullptr)), "10.5");

  s.SetString(U("text"));
  t.SetI4(1);
  t = s;
  s.SetString(U("changed"));
  EXPECT_EQ(ToUtf8(t.GetString()), "text");
  t = t;  // self-assignment keeps the value
  EXPECT_EQ(ToUtf8(t.GetString()), "text");

  CBinaryData bytes(VX_T("ab"));
  bin.SetHexBinary(bytes);
  VxVariant binCopy = bin;
  bytes.Append(static_cast<unsigned char>(1));
  EXPECT_EQ(binCopy.GetHexBinary().GetLength(), 4u);
  s.Clear();  // the sanitizer build checks the string is freed
  EXPECT_EQ(s.GetItemType(), ItemType_Invalid);
}

// Strings, decimals, integers and dates live in the variant itself, other
// owned kinds on the heap: moves and swaps between the two keep both.
TEST(VxVariant, MovesBetweenInPlaceAndHeapKindsKeepBothValues) {
  VxVariant text, bytes, number;
  text.SetString(U("a text longer than the room of a short string"));
  bytes.SetHexBinary(CBinaryData(VX_T("abcd")));
  number.FromString(U("12345678901234567890123.25"), ItemType_decimal, kCollapse);
  std::swap(text, bytes);
  EXPECT_EQ(ToUtf8(bytes.GetString()), "a text longer than the room of a short string");
  EXPECT_EQ(text.GetHexBinary().GetLength(), 8u);  // the text's UTF-16 bytes
  VxVariant taken(std::move(number));
  EXPECT_EQ(number.GetItemType(), ItemType_Invalid);
  number = std::move(bytes);
  EXPECT_EQ(ToUtf8(number.GetString()), "a text longer than the room of a short string");
  EXPECT_EQ(ToUtf8(taken.ToString(nullptr)), "12345678901234567890123.25");
  taken = number;  // an in-place copy over an in-place value
  EXPECT_EQ(ToUtf8(taken.GetString()), ToUtf8(number.GetString()));
}

// FromText reads units as FromString reads the same text; a string is
// copied out until its holder says it is done with it.
TEST(VxVariant, FromTextAndTakeString) {
  for (const RoundTrip& c : kRoundTrips) {
    SCOPED_TRACE(c.name);
    const String text = U(c.text);
    VxVariant units;
    units.FromText(text.data(), text.size(), c.type, kCollapse);
    EXPECT_EQ(ToUtf8(units.ToString(nullptr)), c.canonical);
  }
  const String crlf = U("one\r\ntwo");
  VxVariant v;
  v.FromText(crlf.data(), crlf.size(), ItemType_string, kPreserve);
  EXPECT_EQ(ToUtf8(v.TakeString()), "one\ntwo");
  EXPECT_EQ(ToUtf8(v.GetString()), "one\ntwo");  // not disposable: copied
  v.SetDisposable();
  EXPECT_EQ(ToUtf8(v.TakeString()), "one\ntwo");
  EXPECT_EQ(ToUtf8(v.GetString()), "");
  v.SetString(U("again"));  // a new value is the holder's again
  v.TakeString();
  EXPECT_EQ(ToUtf8(v.GetString()), "again");
  v.FromText(nullptr, 0, ItemType_string, kPreserve);
  EXPECT_EQ(ToUtf8(v.GetString()), "");
  EXPECT_THROW(v.FromText(crlf.data(), 3, ItemType_i4, kCollapse), CVxException);
  EXPECT_EQ(v.GetItemType(), ItemType_string);  // a failed read keeps the value
}

TEST(VxVariant, ObjectKindsHoldOneCountedReferenceEach) {
  int deleted = 0;
  CSmartPtr<CTestNode> obj = new CTestNode("n", "", &deleted);  // count 1
  auto count = [&] {  // the count, read by taking and giving back one more
    int n = obj->AddRef();
    obj->Release();
    return n - 1;
  };
  {
    VxVariant a, c;
    a.SetXmlObject(obj);  // 2
    VxVariant b = a;      // 3
    c = b;                // 4
    EXPECT_EQ(count(), 4);
    {
      CSmartPtr<CXmlObjectBase> got = c.GetXmlObject();
      EXPECT_EQ(got.get(), obj.get());
      EXPECT_EQ(count(), 5);
    }
    a.SetXmlObject(obj);  // re-setting the same object keeps the count
    EXPECT_EQ(count(), 4);
    b.SetI4(1);  // gives its reference back
    EXPECT_EQ(count(), 3);
    VxVariant moved = std::move(a);  // moving takes the reference over
    c = std::move(moved);            // and gives c's own back
    EXPECT_EQ(count(), 2);
    EXPECT_EQ(moved.GetItemType(), ItemType_Invalid);
    EXPECT_EQ(c.GetXmlObject().get(), obj.get());
  }
  EXPECT_EQ(count(), 1);
  obj = nullptr;
  EXPECT_EQ(deleted, 1);

  VxVariant none;
  none.SetXmlObject(nullptr);
  EXPECT_EQ(VxVariant(none).GetItemType(), ItemType_XmlObject);
  EXPECT_EQ(none.GetXmlObject().get(), nullptr);
}
