// The text reader gets names, values and text from Expat in UTF-8 and
// converts them itself, sixteen ASCII bytes a step, and finds names through
// hints of the structure before its name table.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "support/Document.h"
#include "vxbind/document/XmlDocument.h"

using namespace VxVevAva5;
using vxtest::Dump;

namespace {

std::string LoadDump(std::string bytes) {
  CXmlDocument doc;
  vxtest::LoadBytes(doc, std::move(bytes));
  return Dump(doc.GetDocumentElement());
}

// UTF-8 to UTF-16LE for the characters below (at most four bytes each).
std::string ToUtf16Le(const std::string& utf8) {
  std::string out;
  auto unit = [&out](unsigned u) {
    out += static_cast<char>(u & 0xFF);
    out += static_cast<char>(u >> 8);
  };
  for (size_t i = 0; i < utf8.size();) {
    auto b = static_cast<unsigned char>(utf8[i]);
    size_t n = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
    unsigned code = n == 1 ? b : n == 2 ? b & 0x1F : n == 3 ? b & 0x0F : b & 0x07;
    for (size_t k = 1; k < n; ++k)
      code = (code << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
    if (code >= 0x10000) {
      unit(0xD800 + ((code - 0x10000) >> 10));
      unit(0xDC00 + ((code - 0x10000) & 0x3FF));
    } else {
      unit(code);
    }
    i += n;
  }
  return out;
}

}  // namespace

TEST(CXmlDocument, NonAsciiAtEveryOffsetReadsAlikeInNamesValuesAndText) {
  // Two-, three- and four-byte characters (the last a surrogate pair in the
  // tree) at every place of runs longer than two conversion steps, so that
  // each falls at the start, middle and end of a step and in the tail.
  const std::string kWide[] = {"\xC3\xA9", "\xE2\x82\xAC", "\xF0\x9D\x84\x9E"};
  std::string body = "<r>", expected = "{}r[](";
  for (size_t at = 0; at <= 40; ++at) {
    for (const std::string& wide : kWide) {
      std::string run = std::string(at, 'a') + wide + std::string(40 - at, 'b');
      // Names take the two-byte letter only.
      std::string name = "n" + std::string(at, 'x') + "\xC3\xA9" + std::string(40 - at, 'y');
      body += "<" + name + " v='" + run + "'>" + run + "</" + name + ">";
      expected += "{}" + name + "[ {}v=" + run + "]\"" + run + "\"";
    }
  }
  body += "</r>";
  expected += ")";
  EXPECT_EQ(LoadDump(body), expected);
  EXPECT_EQ(LoadDump("\xEF\xBB\xBF" + body), expected);
  EXPECT_EQ(LoadDump("\xFF\xFE" + ToUtf16Le(body)), expected);
  // Latin-1 input reaches the reader as UTF-8 too.
  EXPECT_EQ(LoadDump("<?xml version='1.0' encoding='ISO-8859-1'?><a\xE9 v='x\xE9'>\xE9y</a\xE9>"),
            "{}a\xC3\xA9[ {}v=x\xC3\xA9]\"\xC3\xA9y\"");
}

TEST(CXmlDocument, NamesRepeatingInChangingOrdersKeepTheirNamespaces) {
  // The same local names in three namespaces, children in a random order
  // with runs of one name, more attributes than the reader keeps guesses
  // for and in changing orders: every element and attribute must get its
  // own expanded name, whatever was guessed from the elements before.
  // One name is the start of another.
  const char* const kNames[] = {"a:item", "b:item", "item", "a:it", "a:\xC3\xA9l\xC3\xA9ment"};
  const char* const kUris[] = {"{urn:a}item", "{urn:b}item", "{urn:d}item", "{urn:a}it",
                               "{urn:a}\xC3\xA9l\xC3\xA9ment"};
  const char* const kAttributes[] = {"id", "a:id", "b:id", "k1", "k2", "k3", "k4", "k5"};
  const char* const kAttributeUris[] = {"{}id", "{urn:a}id", "{urn:b}id", "{}k1",
                                        "{}k2", "{}k3", "{}k4", "{}k5"};
  std::mt19937 rng(7);
  std::string body = "<r xmlns='urn:d' xmlns:a='urn:a' xmlns:b='urn:b'>";
  std::string expected = "{urn:d}r[](";
  for (int i = 0; i < 2000; ++i) {
    size_t n = rng() % 3 == 0 ? rng() % 5 : 0;  // mostly runs of item
    size_t count = rng() % 9;
    std::vector<size_t> order{0, 1, 2, 3, 4, 5, 6, 7};
    std::shuffle(order.begin(), order.end(), rng);
    body += std::string("<") + kNames[n];
    expected += std::string(kUris[n]) + "[";
    for (size_t k = 0; k < count; ++k) {
      body += std::string(" ") + kAttributes[order[k]] + "='" + std::to_string(i) + "'";
      expected += std::string(" ") + kAttributeUris[order[k]] + "=" + std::to_string(i);
    }
    body += std::string("/>");
    expected += "]";
  }
  EXPECT_EQ(LoadDump(body + "</r>"), expected + ")");
}
