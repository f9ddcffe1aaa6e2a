// Members of xs:all (data/allgroup.xsd): read in any order, written back in
// that order, into the classes that xsi:type names and written back with
// it; and the all group's refusals.
#include "allgroup.h"

#include <gtest/gtest.h>

#include <string>
#include <typeinfo>

#include "GeneratedTesting.h"

namespace {

using namespace VxVevAva5;
using namespace generated_testing;
namespace A = AllGroup;

const std::string kOpen =
    "<a:board xmlns:a='urn:vxbind:allgroup' "
    "xmlns:xsi='http://www.w3.org/2001/XMLSchema-instance'>";
const std::string kMain = "<a:main xsi:type='a:Circle' label='m'><a:radius>1.5</a:radius></a:main>";
const std::string kExtra = "<a:extra xsi:type='a:Square'><a:side>2</a:side></a:extra>";
const std::string kOwner = "<a:owner><a:name>Ann</a:name></a:owner>";
const std::string kTitle = "<a:title>t</a:title>";

std::string Board(const std::string& members) { return kOpen + members + "</a:board>"; }

String Written(CXmlObjectBase* object) {
  return WrittenWith(object, {{VX_T("a"), VX_T("urn:vxbind:allgroup")}});
}

TEST(AllGroup, MembersReadInAnyOrderAreWrittenBackInTheirOrder) {
  const std::string circleExtra = "<a:extra xsi:type='a:Circle'><a:radius>3</a:radius></a:extra>";
  const std::string squareMain =
      "<a:main xsi:type='a:Square' label='s'><a:side>4</a:side></a:main>";
  struct Case {
    std::string xml;   // written back as it is
    bool circleFirst;  // main holds the Circle, extra the Square
  };
  const Case cases[] = {
      {Board(kTitle + kExtra + kOwner + kMain), true},
      {Board(kMain + kExtra + kOwner + kTitle), true},
      {Board(kOwner + kMain), true},
      // The derived types the other way round.
      {Board(circleExtra + kOwner + squareMain), false},
  };
  CSmartPtr<A::CBoard> board = new A::CBoard;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.xml);
    board->FromXml(c.xml.c_str());  // one object: each read forgets the order before
    EXPECT_EQ(TreeDifference(c.xml, Written(board)), "");
    if (c.circleFirst) {
      auto main = Root<A::CCircle>(board->GetMain().get());
      EXPECT_EQ(main->GetRadius(), 1.5);
      EXPECT_EQ(U8(main->GetLabel()), "m");  // the abstract base's attribute
    } else {
      EXPECT_EQ(Root<A::CSquare>(board->GetMain().get())->GetSide(), 4);
      EXPECT_EQ(Root<A::CCircle>(board->GetExtra().get())->GetRadius(), 3);
    }
    EXPECT_EQ(U8(board->GetOwner()->GetName()), "Ann");
  }

  // A member set after reading follows the ones read; a copy keeps the
  // order, and members that are gone leave no trace of it.
  board->FromXml(Board(kExtra + kOwner + kMain).c_str());
  board->SetTitle(VX_T("t"));
  EXPECT_EQ(TreeDifference(Board(kExtra + kOwner + kMain + kTitle), Written(board)), "");

  // A named group keeps its order as well.
  const std::string pair =
      "<a:pair xmlns:a='urn:vxbind:allgroup'><a:right>2</a:right><a:left>1</a:left></a:pair>";
  auto sides = ReadAs<A::CPair>(pair);
  EXPECT_EQ(TreeDifference(pair, Written(sides)), "");
  CSmartPtr<A::CBoard> copy = new A::CBoard(*board);
  copy->SetExtra(nullptr);
  EXPECT_EQ(TreeDifference(Board(kOwner + kMain + kTitle), Written(copy)), "");
  EXPECT_EQ(TreeDifference(Board(kExtra + kOwner + kMain + kTitle), Written(board)), "");

  // Objects made in code name their types, and read back as them.
  CSmartPtr<A::CBoard> made = new A::CBoard;
  CSmartPtr<A::CSquare> square = new A::CSquare;
  square->SetSide(7);
  made->SetMain(square);
  made->GetOwner()->SetName(VX_T("Bo"));
  const String text = Written(made);
  EXPECT_EQ(TreeDifference(Board("<a:main xsi:type='a:Square'><a:side>7</a:side></a:main>"
                                 "<a:owner><a:name>Bo</a:name></a:owner>"),
                           text),
            "")
      << U8(text);
  EXPECT_EQ(Root<A::CSquare>(ReadAs<A::CBoard>(U8(text))->GetMain().get())->GetSide(), 7);
}

TEST(AllGroup, RefusesWhatNoClassSuitsAndWhatTheGroupForbids) {
  const std::string process = "Failed to process the element [board]\n";
  const std::string noClass = process + "Failed to find a suitable substitution element for [main]";
  const std::string leftover = process +
                               "Failed read all the elements held within the element [board]. "
                               "The unexpected element [%] remains un processed";
  auto unexpected = [&](const std::string& name) {
    std::string text = leftover;
    return text.replace(text.find('%'), 1, name);
  };
  struct Case {
    const char* what;
    std::string xml;
    std::string expected;
  };
  const Case cases[] = {
      {"abstract member without xsi:type",
       Board(kOwner + "<a:main><a:radius>1</a:radius></a:main>"), noClass},
      {"xsi:type that names no type", Board(kOwner + "<a:main xsi:type='a:Triangle'/>"), noClass},
      {"xsi:type of a type not derived from the member's",
       Board("<a:main xsi:type='a:Person'><a:name>x</a:name></a:main>" + kOwner), noClass},
      {"xsi:type of another namespace", Board(kOwner + "<a:main xsi:type='xsi:Circle'/>"),
       noClass},
      // An optional member's element that no class suits stays unread.
      {"optional member's xsi:type names no type",
       Board(kMain + kOwner + "<a:extra xsi:type='a:Cube'/>"), unexpected("extra")},
      {"mandatory member twice", Board(kMain + kOwner + kMain), unexpected("main")},
      {"optional member twice", Board(kExtra + kMain + kOwner + kExtra), unexpected("extra")},
      {"mandatory member missing", Board(kOwner + kExtra),
       process + "Failed to find the mandatory element [main]"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(Failure([&] { ReadAs<A::CBoard>(c.xml); }), c.expected);
  }
}

// Members of a non-abstract base take its derived types too, as they do in
// sequences.
TEST(AllGroup, ExtendedTypeMembersReadTheDerivedClassThatXsiTypeNames) {
  CSmartPtr<A::CBoard> probe = new A::CBoard;
  VxVevAva5Data::CElementInfo* ownerInfo = probe->GetClassElementInfo()[2];
  ASSERT_EQ(U8(ownerInfo->GetElementName()), "owner");
  ASSERT_NE(dynamic_cast<VxVevAva5Data::CElementInfoAllAbsClsMnd*>(ownerInfo), nullptr);

  const std::string deputy =
      "<a:deputy xsi:type='a:Manager' level='2'><a:name>Cy</a:name><a:salary>20</a:salary>"
      "<a:reports>4</a:reports></a:deputy>";
  const std::string owner =
      "<a:owner xsi:type='a:Employee'><a:name>Bob</a:name><a:salary>10.5</a:salary></a:owner>";
  auto board = ReadAs<A::CBoard>(Board(deputy + kMain + owner));
  EXPECT_EQ(TreeDifference(Board(deputy + kMain + owner), Written(board)), "");
  auto employee = Root<A::CEmployee>(board->GetOwner().get());
  EXPECT_EQ(dynamic_cast<A::CManager*>(employee.get()), nullptr);
  EXPECT_EQ(employee->GetSalary(), CDecimal(VX_T("10.5")));
  auto manager = Root<A::CManager>(board->GetDeputy().get());
  EXPECT_EQ(U8(manager->GetName()), "Cy");
  EXPECT_EQ(manager->GetReports(), 4);
  EXPECT_EQ(manager->GetLevel(), 2);

  // Without xsi:type the base itself; a type outside the base's family is
  // refused.
  board->FromXml(Board(kOwner + kMain).c_str());
  EXPECT_EQ(typeid(*board->GetOwner()), typeid(A::CPerson));
  EXPECT_EQ(Failure([&] {
              ReadAs<A::CBoard>(
                  Board(kMain + "<a:owner xsi:type='a:Circle'><a:radius>1</a:radius></a:owner>"));
            }),
            "Failed to process the element [board]\nFailed to find a suitable substitution "
            "element for [owner]");
}

}  // namespace
