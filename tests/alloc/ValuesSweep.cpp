// The allocation-failure sweep over the value types, the variant, the
// conversions, the exceptions and the context.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "alloc/Sweep.h"
#include "support/Bytes.h"
#include "support/Nodes.h"
#include "support/Text.h"
#include "vxbind/base/Exceptions.h"
#include "vxbind/base/SerializationContext.h"
#include "vxbind/conversions/Conversions.h"
#include "vxbind/conversions/Variant.h"
#include "vxbind/platform/Format.h"
#include "vxbind/values/BigInteger.h"
#include "vxbind/values/BinaryData.h"
#include "vxbind/values/DateTime.h"
#include "vxbind/values/DateTimeSpan.h"
#include "vxbind/values/Decimal.h"
#include "vxbind/writers/ByteOutput.h"

using namespace VxVevAva5;
using vxtest::ToUtf8;
using vxtest::U;
using vxtest::alloc::Promise;
using vxtest::alloc::Row;
using vxtest::alloc::SweepRows;

namespace {

std::string S(const CBigInteger& v) { return ToUtf8(v.ToString()); }
std::string S(const CDecimal& v) { return ToUtf8(v.ToString()); }
std::string S(const CDateTime& v) { return ToUtf8(v.ToString()); }
std::string S(const CDateTimeSpan& v) { return ToUtf8(v.ToString()); }
std::string S(const CBinaryData& v) { return ToUtf8(v.GetAsHexString()); }

CDateTimeSpan Span(const char* text) {
  CDateTimeSpan span;
  span.ParseXSDDuration(U(text).c_str());
  return span;
}

const char kBig[] = "-123456789012345678901234567890123456789012345678901234567890";

// `op` applied to a copy of `start`; when it throws, the copy still holds
// `start`.
template <class T, class Op>
std::string Unchanged(const T& start, Op op) {
  T v(start);  // a copy: no spare capacity in its vectors
  Promise([&] { op(v); }, [&] { EXPECT_EQ(S(v), S(start)); });
  return S(v);
}

}  // namespace

TEST(ValuesSweep, BigInteger) {
  const CBigInteger big(U(kBig).c_str());
  const CBigInteger nines(U("999999999999999999999999999").c_str());
  const CBigInteger one(1);
  SweepRows({
      {"parse", [&] { return Unchanged(one, [](CBigInteger& v) { v.Parse(U(kBig).c_str()); }); }},
      {"parse a decimal form",
       [&] { return Unchanged(one, [](CBigInteger& v) { v.Parse(U(" 1.5e40 ").c_str()); }); }},
      {"parse refused",
       [&] { return Unchanged(one, [](CBigInteger& v) { v.Parse(U("12 3").c_str()); }); }},
      {"+= into a new limb", [&] { return Unchanged(nines, [&](CBigInteger& v) { v += one; }); }},
      {"+= of the other sign",
       [&] { return Unchanged(one, [&](CBigInteger& v) { v += big; }); }},
      {"-=", [&] { return Unchanged(big, [&](CBigInteger& v) { v -= nines; }); }},
      {"*=", [&] { return Unchanged(big, [&](CBigInteger& v) { v *= nines; }); }},
      {"/=", [&] { return Unchanged(big, [&](CBigInteger& v) { v /= nines; }); }},
      {"%=", [&] { return Unchanged(big, [&](CBigInteger& v) { v %= nines; }); }},
      {"/= 0", [&] { return Unchanged(big, [&](CBigInteger& v) { v /= CBigInteger(); }); }},
      {"operators",
       [&] {
         return S(big + nines) + S(big - nines) + S(big * big) + S(big / nines) + S(big % nines) +
                S(nines.SquareRoot()) + S(CBigInteger::Pow10(60)) + S(big.GetAbs()) +
                S(CBigInteger(1e30)) + S(CBigInteger(CDecimal(U("12.5").c_str())));
       }},
      {"out of range", [&] { return std::to_string(static_cast<int64_t>(big)); }},
  });
}

TEST(ValuesSweep, Decimal) {
  const CDecimal a(U("-12345678901234567890.123456789").c_str());
  const CDecimal b(U("0.000000000000000000000000000007").c_str());
  SweepRows({
      {"parse", [] { return S(CDecimal(U(" -1.25e-3 ").c_str())); }},
      {"parse refused", [] { return S(CDecimal(U("1.2.3").c_str())); }},
      {"from double", [] { return S(CDecimal(0.1)); }},
      {"+=", [&] { return Unchanged(a, [&](CDecimal& v) { v += b; }); }},
      {"-=", [&] { return Unchanged(a, [&](CDecimal& v) { v -= b; }); }},
      {"*=", [&] { return Unchanged(a, [&](CDecimal& v) { v *= b; }); }},
      {"/=", [&] { return Unchanged(a, [&](CDecimal& v) { v /= b; }); }},
      {"/= 0", [&] { return Unchanged(a, [&](CDecimal& v) { v /= CDecimal(); }); }},
      {"++", [&] { return Unchanged(a, [&](CDecimal& v) { ++v; }); }},
      {"printing",
       [&] {
         return ToUtf8(a.ToString(5)) + ToUtf8(b.ToString(40)) + S(a.ToBigInteger()) + " " +
                std::to_string(a.ToDouble()) + " " + std::to_string(b.ToLongLong());
       }},
      {"out of range", [&] { return std::to_string(a.ToLong()); }},
  });
}

TEST(ValuesSweep, DateTimeAndDuration) {
  // A failed parse leaves the value cleared.
  auto parsed = [](void (CDateTime::*parse)(const unsigned short*), const char* text) {
    CDateTime v(static_cast<short>(2000), 1, 1);
    String wide = U(text);
    Promise([&] { (v.*parse)(wide.c_str()); },
            [&] { EXPECT_EQ(v.GetType(), CDateTime::dt_yearZero); });
    return S(v);
  };
  auto duration = [](const char* text) {
    CDateTimeSpan v(1, 2, 3);
    String wide = U(text);
    Promise([&] { v.ParseXSDDuration(wide.c_str()); },
            [&] { EXPECT_EQ(S(v), "PT0S"); });
    return S(v);
  };
  SweepRows({
      {"dateTime",
       [&] { return parsed(&CDateTime::ParseXSDDateTime, "2024-02-29T23:59:59.123456789+05:30"); }},
      {"dateTime refused",
       [&] { return parsed(&CDateTime::ParseXSDDateTime, "2023-02-29T23:59:59"); }},
      {"date", [&] { return parsed(&CDateTime::ParseXSDDate, "-0044-03-15Z"); }},
      {"gMonthDay", [&] { return parsed(&CDateTime::ParseXSDDate, "--12-31"); }},
      {"time", [&] { return parsed(&CDateTime::ParseXSDTime, "24:00:00"); }},
      {"time refused", [&] { return parsed(&CDateTime::ParseXSDTime, "12:60:00"); }},
      {"duration", [&] { return duration("-P1Y2M3DT4H5M6.789S"); }},
      {"duration refused", [&] { return duration("P1Y2M3DT"); }},
      {"arithmetic and formats",
       [] {
         CDateTime d(U("2011-12-31T23:59:59.5+01:00").c_str());
         CDateTimeSpan span = Span("P1M2DT3H");
         CDateTime later = d + span;
         d -= span;
         return S(later) + S(d) + S(later - d) + S(later.GetNormalized()) +
                ToUtf8(d.ToString(U("s").c_str())) + ToUtf8(d.ToString(U("x").c_str())) +
                ToUtf8(d.GetTypeAsString()) + std::to_string(d.CompareTo(later)) +
                std::to_string(span.CompareTo(Span("P30D")));
       }},
      {"field of another kind", [] { return std::to_string(CDateTime().GetYear()); }},
  });
}

TEST(ValuesSweep, BinaryData) {
  std::string repetitive;
  for (int i = 0; i < 300; ++i) repetitive += "binary " + std::to_string(i % 7) + "; ";
  const CBinaryData abc = vxtest::MakeBytes({'a', 'b', 'c'});
  const CBinaryData text(reinterpret_cast<const unsigned char*>(repetitive.data()),
                         static_cast<uint32_t>(repetitive.size()));
  const CBinaryData items = vxtest::MakeBytes({0x00, 0x01, 0xFF, 0xFF, 0x3F, 0x80, 0x00, 0x00,
                                               0x40, 0x09, 0x21, 0xFB, 0x54, 0x44, 0x2D, 0x18});
  // The operation on a handle that shares its holder: a failure leaves this
  // handle's content and the other handle's as they were.
  auto shared = [](const CBinaryData& start, const std::function<void(CBinaryData&)>& op) {
    CBinaryData other(start.GetData(), start.GetLength());
    CBinaryData v(other);
    Promise([&] { op(v); },
            [&] {
              EXPECT_EQ(S(v), S(start));
              EXPECT_EQ(S(other), S(start));
            });
    return S(v) + "/" + S(other);
  };
  SweepRows({
      {"hex", [&] { return shared(abc, [](CBinaryData& v) { v.SetAsHexString(U("00abFF").c_str()); }); }},
      {"hex refused",
       [&] { return shared(abc, [](CBinaryData& v) { v.SetAsHexString(U("0G").c_str()); }); }},
      {"base64",
       [&] { return shared(abc, [](CBinaryData& v) { v.SetAsBase64(U("YWJj ZA==").c_str()); }); }},
      {"base64 refused",
       [&] { return shared(abc, [](CBinaryData& v) { v.SetAsBase64(U("YW*j").c_str()); }); }},
      {"append",
       [&] { return shared(abc, [&](CBinaryData& v) { v.Append(text); v.Append(U("xy").c_str()); }); }},
      {"index", [&] { return shared(abc, [](CBinaryData& v) { v[1] = 'X'; }); }},
      {"gzip", [&] { return shared(text, [](CBinaryData& v) { v.CompressData(CompressionType_GZip); }); }},
      {"zlib", [&] { return shared(text, [](CBinaryData& v) { v.CompressData(CompressionType_ZLib); }); }},
      {"compression that does not fit",
       [&] { return shared(abc, [](CBinaryData& v) { v.CompressData(CompressionType_GZip); }); }},
      {"release",
       [&] {
         CBinaryData v(abc.GetData(), abc.GetLength());
         CBinaryData copy(v);
         unsigned char* bytes = v.ReleaseData();
         std::string out(reinterpret_cast<char*>(bytes), 3);
         delete[] bytes;
         return out + S(copy);
       }},
      {"text forms",
       [&] {
         std::string out = ToUtf8(text.GetAsBase64()) + ToUtf8(abc.GetString());
         for (int e = ByteEncoding_None; e <= ByteEncoding_UUID; ++e)
           out += "|" + ToUtf8(items.GetAsString(static_cast<ByteEncoding>(e)));
         return out;
       }},
      {"text form refused", [&] { return ToUtf8(abc.GetAsString(ByteEncoding_Int)); }},
      {"UTF-8 bytes",
       [] { return vxtest::AsBytes(ToUtf8Bytes(U("a\xC3\xBC\xE2\x82\xAC\xF0\x9D\x84\x9E"))); }},
      {"UTF-8 bytes refused",
       [] {
         String lone(1, 0xD800);
         return vxtest::AsBytes(ToUtf8Bytes(lone));
       }},
  });
}

TEST(ValuesSweep, Variant) {
  VxVariant s, d, i, b, t, p, o;
  s.SetString(U("text"));
  d.SetDecimal(CDecimal(U("1.5").c_str()));
  i.SetInteger(CBigInteger(U(kBig).c_str()));
  b.SetBase64Binary(vxtest::MakeBytes({1, 2, 3}));
  t.SetDateTime(CDateTime(U("2020-01-01T00:00:00Z").c_str()));
  p.SetDuration(Span("P1D"));
  CSmartPtr<vxtest::CTestNode> node = new vxtest::CTestNode("node");
  o.SetXmlObject(node);
  const VxVariant* owned[] = {&s, &d, &i, &b, &t, &p, &o};
  // A failed copy or read leaves the target with its previous value.
  auto keeps = [](VxVariant& v, const std::function<void()>& op) {
    Promise(op, [&] {
      EXPECT_EQ(v.GetItemType(), ItemType_string);
      EXPECT_EQ(ToUtf8(v.GetString()), "before");
    });
    if (v.GetItemType() == ItemType_XmlObject) return std::string("object");
    return ToUtf8(v.GetType()) + ":" + ToUtf8(v.ToString(nullptr));
  };
  std::vector<Row> rows;
  for (const VxVariant* source : owned) {
    rows.push_back({"assign", [source, keeps] {
                      VxVariant v;
                      v.SetString(U("before"));
                      return keeps(v, [&] { v = *source; });
                    }});
    rows.push_back({"copy", [source] {
                      VxVariant v(*source);
                      return v.GetItemType() == ItemType_XmlObject
                                 ? std::string("object")
                                 : ToUtf8(v.ToString(nullptr));
                    }});
  }
  const std::pair<ItemType, const char*> texts[] = {
      {ItemType_hexBinary, "0aff"},   {ItemType_base64Binary, "YWJj"},
      {ItemType_i1, "-12"},           {ItemType_i4, " 123 "},
      {ItemType_i8, "-9000000000"},   {ItemType_ui8, "18446744073709551615"},
      {ItemType_r4, "1.5"},           {ItemType_r8, "-2.5e10"},
      {ItemType_duration, "P1Y"},     {ItemType_yearMonth, "2020-05"},
      {ItemType_monthDay, "--05-06"}, {ItemType_year, "1999"},
      {ItemType_month, "--07"},       {ItemType_day, "---08"},
      {ItemType_date, "2020-05-06"},  {ItemType_datetime, "2020-05-06T07:08:09Z"},
      {ItemType_time, "07:08:09.5"},  {ItemType_char, "x"},
      {ItemType_string, "  a  b  "},  {ItemType_boolean, "1"},
      {ItemType_decimal, "-0.50"},    {ItemType_integer, kBig},
      {ItemType_i4, "12x"},           {ItemType_date, "2020-13-01"},
      {ItemType_decimal, "1..2"},     {ItemType_boolean, "yes"},
  };
  for (const auto& text : texts) {
    rows.push_back({"FromString", [text, keeps] {
                      VxVariant v;
                      v.SetString(U("before"));
                      String wide = U(text.second);
                      return keeps(v, [&] {
                        v.FromString(wide, text.first, CWhitespaceUtils::WhitespaceRule_Collapse);
                      });
                    }});
  }
  SweepRows(rows);
}

TEST(ValuesSweep, Conversions) {
  using C = CConversions;
  const auto collapse = CWhitespaceUtils::WhitespaceRule_Collapse;
  SweepRows({
      {"writing",
       [] {
         return ToUtf8(C::r8ToString(2.5, U("%.3f").c_str()) + C::r4ToString(1.25f, nullptr) +
                       C::i8ToString(-42) + C::ui8ToString(18446744073709551615ull) +
                       C::yearToString(999) + C::monthToString(7) + C::dayToString(3) +
                       C::booleanToString(true) +
                       C::decimalToString(CDecimal(U("1.005").c_str()), U("2").c_str()) +
                       C::integerToString(CBigInteger(U(kBig).c_str())) +
                       C::base64BinaryToString(vxtest::MakeBytes({1, 2, 3, 4})) +
                       C::durationToString(Span("PT1M")));
       }},
      {"reading",
       [&] {
         return std::to_string(C::i4FromString(U(" 42 "), collapse)) +
                std::to_string(C::r8FromString(U("1e3"), collapse)) +
                S(C::decimalFromString(U(" 1.50 "), collapse)) +
                S(C::integerFromString(U(kBig), collapse)) +
                S(C::dateFromString(U(" 2020-02-29 "), collapse)) +
                S(C::durationFromString(U("P2D"), collapse)) +
                S(C::hexBinaryFromString(U(" 0A0B "), collapse)) +
                ToUtf8(C::stringFromString(U(" a \t b "), collapse));
       }},
      {"reading refused", [&] { return std::to_string(C::booleanFromString(U("maybe"), collapse)); }},
      {"format refused", [] { return ToUtf8(C::r8ToString(1.0, U("%d").c_str())); }},
  });
}

TEST(ValuesSweep, ExceptionsFormatAndContext) {
  const CVxInvalidValueException leaf(U("bad value"));
  const CVxValidationException middle(U("Failed to process the element [b]"), leaf);
  const CVxException chain(U("Failed to process the element [a]"), middle);
  SweepRows({
      {"copy", [&] { return ToUtf8(CVxException(chain).GetFullMessage()); }},
      {"assign",
       [&] {
         CVxException target(U("old"), CVxException(U("old inner")));
         Promise([&] { target = chain; },
                 [&] { EXPECT_EQ(ToUtf8(target.GetFullMessage()), "old\nold inner"); });
         return ToUtf8(target.GetFullMessage());
       }},
      {"wrap",
       [&] { return ToUtf8(CVxValidationException(U("outer"), chain).GetFullMessage()); }},
      {"wrap a caught one",
       [&] {
         CVxException caught(chain);
         CVxValidationException outer(U("outer"), std::move(caught));
         return ToUtf8(outer.GetFullMessage());
       }},
      {"format",
       [] {
         return ToUtf8(FormatString(U("%s [%d] %08X %.2f %I64d %c").c_str(),
                                    U("name").c_str(), -5, 0xABCDu, 2.5, -(1ll << 40), 'z'));
       }},
      {"context",
       [] {
         CXmlSerializationContext c;
         c.GetProcessingInstructions().push_back(U("<?a?>"));
         c.SetDefaultNamespaceURI(U("urn:default").c_str());
         c.GetNamespaceAliases().Add(U("p").c_str(), U("urn:p").c_str());
         CXmlSerializationContext copy(c);
         CXmlSerializationContext assigned;
         assigned = copy;
         return ToUtf8(assigned.GetDefaultNamespaceURI() + assigned.GetProcessingInstructions()[0] +
                       assigned.GetNamespaceAliases().GetNamespaceFromAlias(U("p").c_str()));
       }},
  });
}
