#include "vxbind/collections/PrimitiveCol.h"

#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "support/Nodes.h"
#include "support/Text.h"
#include "vxbind/conversions/Conversions.h"
#include "vxbind/document/XmlDocument.h"
#include "vxbind/writers/XmlTextWriter.h"

using namespace VxVevAva5;
using vxtest::ToUtf8;
using vxtest::U;

namespace {

constexpr auto kCollapse = CWhitespaceUtils::WhitespaceRule_Collapse;
constexpr auto kPreserve = CWhitespaceUtils::WhitespaceRule_Preserve;

// <r> around one collection: what a generated class does with a repeated
// member.
class CHolder : public CXmlObjectBase {
 public:
  explicit CHolder(CXmlCollectionBase* collection) : col(collection) {}
  CXmlObjectBase* GetBase() override { return this; }
  String GetNamespace() const override { return String(); }
  CSmartPtr<CXmlCollectionBase> col;
  std::string left;  // local name of the first element the collection left

 protected:
  String GetTargetNamespace() const override { return String(); }
  void ToXml_Int(CXmlWriter* writer, bool, const unsigned short* namespaceUri,
                 const CXmlSerializationContext& context, bool) const override {
    writer->WriteStartElement(U("r"), String());
    CXmlObjectBase::ToXml_Int(col, writer, false, namespaceUri, context, false);
    writer->WriteEndElement();
  }
  CXmlElement* FromXml_Int(CXmlElement* element, CXmlElement* current,
                           const CXmlSerializationContext& context, bool) override {
    CXmlElement* rest = CXmlObjectBase::FromXml_Int(col, element, current, context);
    left = rest ? ToUtf8(rest->GetLocalName()) : "";
    return rest;
  }
};

// A collection of items <v> without namespace or facets.
template <class Col>
Col* Make(CWhitespaceUtils::WhitespaceRule rule = kCollapse, const unsigned short* format = nullptr,
          int minOccurs = 0, int maxOccurs = -1) {
  return new Col(VX_T("v"), VX_T(""), minOccurs, maxOccurs, nullptr, -1, -1, nullptr, nullptr,
                 nullptr, nullptr, -1, rule, format);
}

std::string Write(CXmlCollectionBase* col,
                  const CXmlSerializationContext& context = CXmlSerializationContext()) {
  CSmartPtr<CHolder> holder = new CHolder(col);
  return ToUtf8(holder->ToXml(false, false, EOLType_LF, context));
}

// Reads <r>items</r> into `col`; returns the first element it left, or "".
std::string Read(CXmlCollectionBase* col, const std::string& items,
                 const CXmlSerializationContext& context = CXmlSerializationContext()) {
  CSmartPtr<CHolder> holder = new CHolder(col);
  holder->FromXml(U("<r>" + items + "</r>").c_str(), context);
  return holder->left;
}

}  // namespace

TEST(CPrimitiveCol, EveryCollectionReadsAndWritesItsItems) {
  struct Case {
    const char* name;
    std::function<CXmlTypeCollection*()> make;
    ItemType type;
    const char* items;     // read with the collapse rule
    const char* expected;  // written back
  } const cases[] = {
      {"hexBinary", [] { return Make<ChexBinaryCol>(); }, ItemType_hexBinary, "<v>00abff</v><v/>",
       "<v>00ABFF</v><v/>"},
      {"base64Binary", [] { return Make<Cbase64BinaryCol>(); }, ItemType_base64Binary,
       "<v> YWJj </v>", "<v>YWJj</v>"},
      {"i1", [] { return Make<Ci1Col>(); }, ItemType_i1, "<v> -128 </v><v>127</v>",
       "<v>-128</v><v>127</v>"},
      {"i2", [] { return Make<Ci2Col>(); }, ItemType_i2, "<v>+32767</v>", "<v>32767</v>"},
      {"i4", [] { return Make<Ci4Col>(); }, ItemType_i4, "<v>\n12\n</v><v>-2147483648</v>",
       "<v>12</v><v>-2147483648</v>"},
      {"i8", [] { return Make<Ci8Col>(); }, ItemType_i8, "<v>-9223372036854775808</v>",
       "<v>-9223372036854775808</v>"},
      {"ui1", [] { return Make<Cui1Col>(); }, ItemType_ui1, "<v>255</v>", "<v>255</v>"},
      {"ui2", [] { return Make<Cui2Col>(); }, ItemType_ui2, "<v>65535</v>", "<v>65535</v>"},
      {"ui4", [] { return Make<Cui4Col>(); }, ItemType_ui4, "<v>4294967295</v>",
       "<v>4294967295</v>"},
      // Read by the signed 64-bit reading, which wraps: the value survives.
      {"ui8", [] { return Make<Cui8Col>(); }, ItemType_ui8, "<v>18446744073709551615</v>",
       "<v>18446744073709551615</v>"},
      {"r4", [] { return Make<Cr4Col>(); }, ItemType_r4, "<v>0.1</v>", "<v>0.1</v>"},
      {"r8", [] { return Make<Cr8Col>(); }, ItemType_r8, "<v>1.5e3</v><v>-0</v>",
       "<v>1500</v><v>-0</v>"},
      {"duration", [] { return Make<CdurationCol>(); }, ItemType_duration, "<v>P1Y2M3DT4H5M6S</v>",
       "<v>P1Y2M3DT4H5M6S</v>"},
      {"yearMonth", [] { return Make<CyearMonthCol>(); }, ItemType_yearMonth, "<v>2004-05</v>",
       "<v>2004-05</v>"},
      {"monthDay", [] { return Make<CmonthDayCol>(); }, ItemType_monthDay, "<v>--05-31</v>",
       "<v>--05-31</v>"},
      {"year", [] { return Make<CyearCol>(); }, ItemType_year, "<v>2004</v>", "<v>2004</v>"},
      {"month", [] { return Make<CmonthCol>(); }, ItemType_month, "<v>--07</v>", "<v>--07</v>"},
      {"day", [] { return Make<CdayCol>(); }, ItemType_day, "<v>---03</v>", "<v>---03</v>"},
      {"date", [] { return Make<CdateCol>(); }, ItemType_date, "<v>2004-02-29</v>",
       "<v>2004-02-29</v>"},
      {"datetime", [] { return Make<CdatetimeCol>(); }, ItemType_datetime,
       "<v>2004-02-29T12:30:00Z</v>", "<v>2004-02-29T12:30:00Z</v>"},
      {"time", [] { return Make<CtimeCol>(); }, ItemType_time, "<v>23:59:59</v>",
       "<v>23:59:59</v>"},
      {"string", [] { return Make<CstringCol>(); }, ItemType_string,
       "<v> a  b </v><v>&lt;&amp;&gt;</v>", "<v>a b</v><v>&lt;&amp;&gt;</v>"},
      {"boolean", [] { return Make<CbooleanCol>(); }, ItemType_boolean, "<v>1</v><v>FALSE</v>",
       "<v>true</v><v>false</v>"},
      {"decimal", [] { return Make<CdecimalCol>(); }, ItemType_decimal, "<v>-0012.500</v>",
       "<v>-12.5</v>"},
      {"integer", [] { return Make<CintegerCol>(); }, ItemType_integer,
       "<v>+000123456789012345678901234567890</v>", "<v>123456789012345678901234567890</v>"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CSmartPtr<CXmlTypeCollection> col = c.make();
    EXPECT_EQ(col->GetItemType(), c.type);
    EXPECT_EQ(Read(col, std::string(c.items) + "<w/>"), "w");
    EXPECT_EQ(Write(col), "<r>" + std::string(c.expected) + "</r>");
    // What was written reads back into the same text.
    CSmartPtr<CXmlTypeCollection> again = c.make();
    Read(again, c.expected);
    EXPECT_EQ(Write(again), Write(col));
  }
}

TEST(CPrimitiveCol, AddChecksFacetsAndFailuresChangeNothing) {
  CSmartPtr<Ci4Col> col = new Ci4Col(VX_T("size"), VX_T(""), 0, -1, nullptr, -1, -1, VX_T("1"),
                                     VX_T("10"), nullptr, nullptr, -1, kCollapse, nullptr);
  col->Add(1);
  col->Add(10);
  col->AddAt(1, 5);
  EXPECT_VX_THROW(col->Add(11), CVxException, "Invalid Value for size [11]");
  EXPECT_VX_THROW(col->AddAt(0, 0), CVxException, "Invalid Value for size [0]");
  EXPECT_VX_THROW(col->AddAt(4, 5), CVxInvalidParamException, "Index out of range");
  EXPECT_VX_THROW(col->AddAt(-1, 5), CVxInvalidParamException, "Index out of range");
  EXPECT_VX_THROW(col->Item(3), CVxInvalidParamException, "Index 3 is out of range, use 0 - 3");
  EXPECT_VX_THROW(col->Remove(-1), CVxInvalidParamException, "Index -1 is out of range, use 0 - 3");
  EXPECT_EQ(std::vector<int32_t>(col->begin(), col->end()), (std::vector<int32_t>{1, 5, 10}));
  col->Remove(0);
  EXPECT_EQ(col->Item(0), 5);
  EXPECT_EQ(col->GetCount(), 2);

  CSmartPtr<CstringCol> codes =
      new CstringCol(VX_T("code"), VX_T(""), 0, -1, VX_T("[A-Z]{2}\\d"), -1, -1, nullptr, nullptr,
                     nullptr, nullptr, -1, kCollapse, nullptr);
  codes->Add(U("AB1"));
  EXPECT_VX_THROW(codes->Add(U("AB12")), CVxException, "Invalid Value for code [AB12]");
  EXPECT_EQ(codes->GetCount(), 1);
}

TEST(CPrimitiveCol, NumericBoundsRefuseWhatTheFacetCheckRefuses) {
  auto make = [](const char* minInclusive, const char* maxExclusive) {
    String low = U(minInclusive), high = U(maxExclusive);
    return CSmartPtr<Ci4Col>(new Ci4Col(VX_T("v"), VX_T(""), 0, -1, nullptr, -1, -1, low.c_str(),
                                        nullptr, nullptr, high.c_str(), -1, kCollapse, nullptr));
  };
  // A bound that does not convert: every value reports it.
  CSmartPtr<Ci4Col> broken = make("abc", "");
  for (int i = 0; i < 2; ++i) {
    EXPECT_VX_THROW(broken->Add(5), CVxInvalidValueException,
                    "The value [abc] can not be converted to a i4");
  }
  EXPECT_EQ(broken->GetCount(), 0);
  CSmartPtr<Ci4Col> edges = make(" -5 ", "\t7\n");
  edges->Add(-5);
  edges->Add(6);
  EXPECT_VX_THROW(edges->Add(-6), CVxException, "Invalid Value for v [-6]");
  EXPECT_VX_THROW(edges->Add(7), CVxException, "Invalid Value for v [7]");
  CSmartPtr<Ci4Col> copy = new Ci4Col(*edges);  // copies keep the bounds
  EXPECT_VX_THROW(copy->Add(7), CVxException, "Invalid Value for v [7]");
  EXPECT_EQ(copy->GetCount(), 2);

  CSmartPtr<Cui4Col> unsignedValues =
      new Cui4Col(VX_T("v"), VX_T(""), 0, -1, nullptr, -1, -1, nullptr, nullptr, nullptr,
                  VX_T("4294967295"), -1, kCollapse, nullptr);
  unsignedValues->Add(4294967294u);
  EXPECT_VX_THROW(unsignedValues->Add(4294967295u), CVxException,
                  "Invalid Value for v [4294967295]");
  CSmartPtr<Cr8Col> reals = new Cr8Col(VX_T("v"), VX_T(""), 0, -1, nullptr, -1, -1, nullptr,
                                       nullptr, VX_T("0"), nullptr, -1, kCollapse, nullptr);
  reals->Add(0.5);
  EXPECT_VX_THROW(reals->Add(0.0), CVxException, "Invalid Value for v [0.000000]");
  EXPECT_ANY_THROW(reals->Add(std::numeric_limits<double>::quiet_NaN()));  // keeps no bound
  EXPECT_EQ(reals->GetCount(), 1);
}

TEST(CPrimitiveCol, AddAndRemoveTellTheListenersButClearDoesNot) {
  CSmartPtr<Ci4Col> col = Make<Ci4Col>();
  CSmartPtr<vxtest::CListener> listener = new vxtest::CListener;
  col->AddEventListener(listener);
  col->Add(1);
  col->AddAt(0, 2);
  col->Add(3);
  EXPECT_EQ(listener->events, 3);
  col->Remove(0);
  EXPECT_EQ(listener->events, 4);
  col->Clear();
  EXPECT_EQ(listener->events, 4);
  EXPECT_EQ(col->GetCount(), 0);
  EXPECT_ANY_THROW(col->Remove(0));
  EXPECT_EQ(listener->events, 4);
  col->RemoveEventListener(listener);
}

TEST(CPrimitiveCol, WritingChecksTheCountBeforeAnything) {
  CSmartPtr<Ci4Col> col = Make<Ci4Col>(kCollapse, nullptr, 0, 2);
  for (int i = 1; i <= 3; ++i) col->Add(i);
  CXmlTextWriter writer;
  writer.SetIndent(false);
  writer.WriteStartElement(U("r"), String());
  CXmlSerializationContext context;
  EXPECT_VX_THROW(CXmlObjectBase::ToXml_Int(col, &writer, false, VX_T(""), context, false),
                  CVxValidationException,
                  "The Maximum number of [v] elements allowed in this collection is 2");
  EXPECT_EQ(ToUtf8(writer.GetString()), "<r");
  context.SetIgnoreInvalidCollectionCounts(true);
  EXPECT_EQ(Write(col, context), "<r><v>1</v><v>2</v><v>3</v></r>");
  CSmartPtr<Ci4Col> none = Make<Ci4Col>(kCollapse, nullptr, 1, -1);
  EXPECT_VX_THROW(Write(none), CVxValidationException,
                  "The Minimum number of [v] elements allowed in this collection is 1");
}

TEST(CPrimitiveCol, ItemsAreWrittenInTheCollectionsNamespaceWithItsFormat) {
  CSmartPtr<Cr8Col> reals = new Cr8Col(VX_T("x"), VX_T("urn:n"), 0, -1, nullptr, -1, -1, nullptr,
                                       nullptr, nullptr, nullptr, -1, kCollapse, VX_T("%.3f"));
  reals->Add(1.5);
  reals->Add(-2);
  EXPECT_EQ(Write(reals),
            "<r><AA:x xmlns:AA=\"urn:n\">1.500</AA:x>"
            "<AA:x xmlns:AA=\"urn:n\">-2.000</AA:x></r>");
  CSmartPtr<CdecimalCol> decimals = Make<CdecimalCol>(kCollapse, VX_T("2"));
  decimals->Add(CDecimal(VX_T("1.5")));
  CSmartPtr<Cr4Col> floats = Make<Cr4Col>(kCollapse, VX_T("%.1e"));
  floats->Add(1234.5f);
  EXPECT_EQ(Write(decimals), "<r><v>1.50</v></r>");
  EXPECT_EQ(Write(floats), "<r><v>1.2e+03</v></r>");
}

TEST(CPrimitiveCol, ReadingTakesTheRunOfMatchingElementsOnly) {
  CSmartPtr<Ci4Col> col = Make<Ci4Col>();
  EXPECT_EQ(Read(col, "<v> 12 </v><v>3</v><b>4</b><v>5</v>"), "b");
  EXPECT_EQ(std::vector<int32_t>(col->begin(), col->end()), (std::vector<int32_t>{12, 3}));
  // Without the collapse rule the trailing blank is an error.
  CSmartPtr<Ci4Col> strict = Make<Ci4Col>(kPreserve);
  EXPECT_VX_THROW(Read(strict, "<v>1</v><v>12 </v>"), CVxInvalidValueException,
                  "The value [12 ] can not be converted to a i4");
  EXPECT_EQ(strict->GetCount(), 1);  // what came before stays
  // Namespaces count unless the context ignores them.
  CSmartPtr<Ci4Col> spaced = new Ci4Col(VX_T("v"), VX_T("urn:a"), 0, -1, nullptr, -1, -1, nullptr,
                                        VX_T("5"), nullptr, nullptr, -1, kCollapse, nullptr);
  EXPECT_EQ(Read(spaced, "<v xmlns='urn:b'>1</v>"), "v");
  EXPECT_EQ(spaced->GetCount(), 0);
  CXmlSerializationContext ignoring;
  ignoring.SetIgnoreNamespaces(true);
  EXPECT_EQ(Read(spaced, "<v xmlns='urn:b'>1</v><v>2</v><w/>", ignoring), "w");
  EXPECT_EQ(spaced->GetCount(), 2);
  // Facets apply to what is read.
  EXPECT_VX_THROW(Read(spaced, "<v xmlns='urn:a'>9</v>"), CVxException, "Invalid Value for v [9]");
  EXPECT_EQ(spaced->GetCount(), 2);
}

TEST(CPrimitiveCol, DateCollectionsRefuseOtherDateKinds) {
  struct Case {
    const char* name;
    std::function<CdatetimeBaseCol*()> make;
    const char* accepted;
    const char* refused;
    const char* message;
    // Text the kind's reading conversion takes but gives another kind (the
    // dateTime and time readings only ever give their own).
    const char* readRefused;
  } const cases[] = {
      {"yearMonth", [] { return Make<CyearMonthCol>(); }, "2004-05", "2004-05-01",
       "Dates added to this collection must be of type dt_gYearMonth", "2004-05-01"},
      {"monthDay", [] { return Make<CmonthDayCol>(); }, "--05-31", "2004-05",
       "Dates added to this collection must be of type dt_gMonthDay", "--05"},
      {"date", [] { return Make<CdateCol>(); }, "2004-02-29", "2004-02-29T00:00:00",
       "Dates added to this collection must be of type dt_date", "2004"},
      {"datetime", [] { return Make<CdatetimeCol>(); }, "2004-02-29T00:00:00", "12:00:00",
       "Dates added to this collection must be of type dt_dateTime", nullptr},
      {"time", [] { return Make<CtimeCol>(); }, "12:00:00", "2004-02-29",
       "Dates added to this collection must be of type dt_time", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CSmartPtr<CdatetimeBaseCol> col = c.make();
    // A dateTime when the text has a 'T', a time when ':' is third, else a date kind.
    auto parse = [](const std::string& text) {
      CDateTime v;
      String wide = U(text);
      auto read = text.find('T') != std::string::npos ? &CDateTime::ParseXSDDateTime
                  : text[2] == ':'                     ? &CDateTime::ParseXSDTime
                                                       : &CDateTime::ParseXSDDate;
      (v.*read)(wide.c_str());
      return v;
    };
    CDateTime accepted = parse(c.accepted), refused = parse(c.refused);
    col->Add(accepted);
    EXPECT_VX_THROW(col->Add(refused), CVxInvalidParamException, c.message);
    EXPECT_VX_THROW(col->AddAt(0, refused), CVxInvalidParamException, c.message);
    // Reading follows the text: a value of another kind is refused too.
    if (c.readRefused != nullptr) {
      EXPECT_VX_THROW(Read(col, std::string("<v>") + c.readRefused + "</v>"),
                      CVxInvalidParamException, c.message);
    }
    EXPECT_VX_THROW(col->AddAt(2, accepted), CVxInvalidParamException, "Index out of range");
    EXPECT_VX_THROW(col->Item(1), CVxInvalidParamException, "Index 1 is out of range, use 0 - 1");
    EXPECT_EQ(col->GetCount(), 1);
    EXPECT_EQ(ToUtf8(CConversions::dateToString(col->Item(0))), c.accepted);
    EXPECT_EQ(Write(col), std::string("<r><v>") + c.accepted + "</v></r>");
  }
  // Date bounds use the partial order of dates.
  CSmartPtr<CdateCol> dates =
      new CdateCol(VX_T("d"), VX_T(""), 0, -1, nullptr, -1, -1, nullptr, VX_T("2004-12-31Z"),
                   nullptr, nullptr, -1, kCollapse, nullptr);
  dates->Add(CDateTime(2004, 12, 31));  // no zone: indeterminate near the bound, so kept
  EXPECT_VX_THROW(dates->Add(CDateTime(2005, 1, 2)), CVxException,
                  "Invalid Value for d [2005-01-02]");
}

TEST(CPrimitiveCol, CopiesOwnTheirValues) {
  CSmartPtr<CbooleanCol> flags = Make<CbooleanCol>();
  flags->Add(true);
  flags->Add(false);
  flags->AddAt(1, true);
  CSmartPtr<CbooleanCol> copy = new CbooleanCol(*flags);
  copy->Remove(0);
  flags->Add(false);
  EXPECT_EQ(std::vector<bool>(flags->begin(), flags->end()),
            (std::vector<bool>{true, true, false, false}));
  EXPECT_EQ(std::vector<bool>(copy->begin(), copy->end()), (std::vector<bool>{true, false}));
  *copy = *flags;
  EXPECT_EQ(copy->GetCount(), 4);

  CSmartPtr<CstringCol> names = Make<CstringCol>();
  names->Add(U("a"));
  CstringCol other(*names);  // collections may also live on the stack
  other.Add(U("b"));
  EXPECT_EQ(names->GetCount(), 1);
  EXPECT_EQ(ToUtf8(other.Item(1)), "b");
  CSmartPtr<CdateCol> dates = Make<CdateCol>();
  dates->Add(CDateTime(2004, 1, 1));
  CdateCol dateCopy(*dates);
  dates->Clear();
  EXPECT_EQ(dateCopy.GetCount(), 1);
  EXPECT_EQ(ToUtf8(CConversions::dateToString(*dateCopy.begin())), "2004-01-01");
}
