// C++ names for schema names, and the literals of schema texts.
#include "Names.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <regex>
#include <set>

#include "Generator.h"

namespace vxbindc {
namespace {

struct NameCase {
  const char* xml;
  const char* pascal;
  const char* camel;
};

TEST(Names, CaseOfXmlNames) {
  const NameCase cases[] = {
      {"item", "Item", "item"},
      {"shipTo", "ShipTo", "shipTo"},
      {"USPrice", "USPrice", "usPrice"},
      {"USAddress", "USAddress", "usAddress"},
      {"URL", "URL", "url"},
      {"ship-to.date", "ShipToDate", "shipToDate"},
      {"a_b", "AB", "ab"},
      {"x2y", "X2y", "x2y"},
      {"2nd", "2nd", "2nd"},
      {"-", "_", "_"},
      {"caf\xC3\xA9", "CafU00E9", "cafU00E9"},  // a letter beyond ASCII is a word of its own
      {"\xE5\x90\x8D", "U540D", "u540D"},
  };
  for (const NameCase& c : cases) {
    EXPECT_EQ(PascalCase(c.xml), c.pascal) << c.xml;
    EXPECT_EQ(CamelCase(c.xml), c.camel) << c.xml;
  }
}

TEST(Names, EnumeratorParts) {
  EXPECT_EQ(IdentifierPart("light-blue"), "light_blue");
  EXPECT_EQ(IdentifierPart(""), "empty");
  EXPECT_EQ(IdentifierPart("1.5"), "1_5");
  EXPECT_EQ(IdentifierPart(" "), "_");
}

TEST(Names, ClaimsTheFirstFreeStemForAllItsNames) {
  NameSet names({"String"});
  auto derive = [](const std::string& s) { return std::vector<std::string>{s, "C" + s}; };
  EXPECT_EQ(names.Claim("String", derive), "String2");  // reserved
  EXPECT_EQ(names.Claim("Order", derive), "Order");
  EXPECT_EQ(names.Claim("Order", derive), "Order2");
  // A stem is refused when any of its derived names is taken.
  names.Reserve("CItem");
  EXPECT_EQ(names.Claim("Item", derive), "Item2");
  EXPECT_TRUE(names.Taken("CItem2"));
  // Another base may have taken a numbered name already.
  names.Reserve("Box2");
  EXPECT_EQ(names.Claim("Box"), "Box");
  EXPECT_EQ(names.Claim("Box"), "Box3");
}

TEST(Names, KeywordsMacrosAndReservedShapesAreNeverGiven) {
  for (const char* name : {"class", "int", "override", "final", "import", "module", "and",
                           "NULL", "EOF", "errno", "assert", "linux", "unix", "TRUE", "DEBUG",
                           "min", "max", "major", "minor", "INT_MAX", "VX_T", "VXBIND_EXPORT",
                           "VXBIND_CORE_GENERATEDSUPPORT_H", "__x", "_Upper"})
    EXPECT_TRUE(Unusable(name)) << name;
  for (const char* name : {"Class", "CNode", "Null", "EOF2", "INT_MAX2", "m__", "_lower", "x_"})
    EXPECT_FALSE(Unusable(name)) << name;

  NameSet names;
  EXPECT_EQ(names.Claim("NULL"), "NULL2");
  EXPECT_EQ(names.Claim("INT_MAX"), "INT_MAX2");
  // A derived name that is a macro moves the stem on too.
  auto derive = [](const std::string& s) { return std::vector<std::string>{"C" + s, s + "_MAX"}; };
  EXPECT_EQ(names.Claim("INT", derive), "INT2");
  // Runs of underscores, and a leading one, cannot be mended by a number.
  EXPECT_EQ(names.Claim("Odd__"), "Odd_");
  EXPECT_EQ(names.Claim("_Value", derive), "x_Value");
}

// Every Get/Set/IsValid/Remove member of the bases of a generated class is
// reserved: a schema member of that name would hide or override it.
TEST(Names, MemberNamesKeepClearOfTheBasesMembers) {
  const std::vector<std::string>& reserved = ReservedMemberNames();
  const std::pair<const char*, const char*> bases[] = {
      {"/vxbind/base/XmlObjectBase.h", "class VXBIND_EXPORT CXmlObjectBase "},
      {"/vxbind/model/XmlGeneratedClass.h", "class VXBIND_EXPORT CXmlGeneratedClass "}};
  for (const auto& base : bases) {
    std::ifstream in(std::string(VXBIND_SOURCE_DIR) + base.first);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    size_t begin = text.find(base.second);
    ASSERT_NE(begin, std::string::npos) << base.first;
    std::string body = text.substr(begin, text.find("\n};", begin) - begin);
    body = std::regex_replace(body, std::regex("//[^\n]*"), "");
    std::regex member("[^\\w:.>]((Get|Set|IsValid|Remove)\\w*)\\s*\\(");
    int found = 0;
    for (std::sregex_iterator it(body.begin(), body.end(), member), end; it != end; ++it, ++found)
      EXPECT_NE(std::find(reserved.begin(), reserved.end(), (*it)[1].str()), reserved.end())
          << (*it)[1].str() << " of " << base.first;
    EXPECT_GT(found, 0) << base.first;
  }
}

TEST(Names, LiteralsEscapeWhatASourceCannotHoldAsItIs) {
  EXPECT_EQ(Literal(""), "VX_T(\"\")");
  EXPECT_EQ(Literal("a\"b\\c"), "VX_T(\"a\\\"b\\\\c\")");
  EXPECT_EQ(Literal("\n\t"), "VX_T(\"\\012\\011\")");
  EXPECT_EQ(Literal("caf\xC3\xA9"), "VX_T(\"caf\\u00E9\")");
  EXPECT_EQ(Literal("\xF0\x9D\x84\x9E"), "VX_T(\"\\U0001D11E\")");  // beyond the BMP
  EXPECT_EQ(Literal("a?"
                    "?"
                    "?="),
            "VX_T(\"a?\\?\\?=\")");
}

}  // namespace
}  // namespace vxbindc
