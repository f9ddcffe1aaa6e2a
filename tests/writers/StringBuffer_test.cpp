#include "vxbind/writers/StringBuffer.h"

#include <gtest/gtest.h>

#include "support/Text.h"

using namespace VxVevAva5;
using vxtest::ToUtf8;
using vxtest::U;

namespace {

// A text of `n` units that never repeats within a chunk, so a lost or
// doubled chunk boundary shows up as a mismatch.
String Pattern(size_t n, size_t seed = 0) {
  String s(n, 0);
  for (size_t i = 0; i < n; ++i) s[i] = static_cast<unsigned short>(0x100 + (i * 7 + seed) % 0xFE00);
  return s;
}

// What escaping must produce for one unit (NUL excluded).
String EscapedReference(unsigned short c, EOLType eol) {
  switch (c) {
    case '\n': return eol == EOLType_CRLF ? U("\r\n") : U("\n");
    case '\r': return String();
    case '"': return U("&quot;");
    case '&': return U("&amp;");
    case '<': return U("&lt;");
    case '>': return U("&gt;");
    default: return String(1, c);
  }
}

}  // namespace

TEST(CStringBuffer, EmptyBufferJoinsToEmptyText) {
  CStringBuffer b(0x10000);
  EXPECT_EQ(b.GetLength(), 0u);
  EXPECT_TRUE(b.GetString().empty());
  size_t length = 99;
  const unsigned short* text = b.GetJoinedText(length);
  EXPECT_EQ(length, 0u);
  EXPECT_EQ(text[0], 0);
}

TEST(CStringBuffer, PiecesOfEverySizeCrossSmallChunksWithoutLoss) {
  // Chunks of 3 units; pieces of 1..5 units land on every boundary offset.
  for (size_t piece = 1; piece <= 5; ++piece) {
    SCOPED_TRACE(piece);
    CStringBuffer b(4);
    String expected;
    String all = Pattern(100);
    for (size_t at = 0; at < all.size(); at += piece) {
      String part = all.substr(at, piece);
      if (part.size() == 1) b.AppendChar(part[0]);
      else b.Append(part.data(), part.size());
      expected += part;
    }
    EXPECT_EQ(b.GetLength(), expected.size());
    EXPECT_EQ(b.GetString(), expected);
    EXPECT_EQ(b.GetString(), expected);  // joining twice changes nothing
  }
}

TEST(CStringBuffer, TextLongerThanOneChunkJoinsOnceAndKeepsGrowing) {
  CStringBuffer b(0x10000);
  String first = Pattern(65535 * 3 + 17);
  b.Append(first.c_str());  // NUL-terminated form, across four chunks
  EXPECT_EQ(b.GetLength(), first.size());
  String joined = b.GetString();
  ASSERT_EQ(joined.size(), first.size());
  EXPECT_EQ(joined, first);
  EXPECT_EQ(b.GetString(), first);

  // The joined text is full: new text starts a chunk of its own and the
  // next join puts it after the old text.
  String second = Pattern(70000, 3);
  b.Append(second.data(), second.size());
  b.AppendChar('x');
  EXPECT_EQ(b.GetString(), first + second + U("x"));
  EXPECT_EQ(b.GetLength(), first.size() + second.size() + 1);

  b.Clear();
  EXPECT_TRUE(b.GetString().empty());
  b.Append(VX_T("again"));
  EXPECT_EQ(ToUtf8(b.GetString()), "again");
}

TEST(CStringBuffer, ExactlyOneFullChunkIsNotDuplicated) {
  CStringBuffer b(0x10000);
  String text = Pattern(65535);
  b.Append(text.data(), text.size());
  EXPECT_EQ(b.GetString(), text);
  b.AppendChar('!');
  EXPECT_EQ(b.GetString(), text + U("!"));
}

TEST(CStringBuffer, EscapesEveryUnitLikeTheReference) {
  for (EOLType eol : {EOLType_LF, EOLType_CRLF}) {
    // Every unit but NUL, each between two ordinary letters, in one text,
    // through small chunks so the escapes also straddle chunk ends.
    String in;
    String expected;
    for (unsigned int c = 1; c <= 0xFFFF; ++c) {
      in.push_back('a');
      in.push_back(static_cast<unsigned short>(c));
      expected.push_back('a');
      expected += EscapedReference(static_cast<unsigned short>(c), eol);
    }
    CStringBuffer b(7);
    b.AppendEscaped(in.c_str(), eol);
    ASSERT_EQ(b.GetString(), expected) << "eol " << eol;
  }
}

TEST(CStringBuffer, EscapingStopsAtTheFirstNulAndHandlesLineEnds) {
  CStringBuffer b(0x10000);
  String text = U("a\r\nb\rc");
  text.push_back(0);
  text += U("hidden");
  b.AppendEscaped(text.c_str(), EOLType_CRLF);
  EXPECT_EQ(ToUtf8(b.GetString()), "a\r\nbc");

  CStringBuffer c(0x10000);
  c.AppendEscaped(VX_T("'x'\t<y> & \"z\"\n"), EOLType_LF);
  EXPECT_EQ(ToUtf8(c.GetString()), "'x'\t&lt;y&gt; &amp; &quot;z&quot;\n");
}

TEST(CStringBuffer, InvalidLineEndTypeThrowsAtTheFirstLineFeedOnly) {
  CStringBuffer b(0x10000);
  b.AppendEscaped(VX_T("no line feed & fine"), static_cast<EOLType>(5));
  EXPECT_EQ(ToUtf8(b.GetString()), "no line feed &amp; fine");
  EXPECT_VX_THROW(b.AppendEscaped(VX_T("|before\nafter"), static_cast<EOLType>(5)), CVxException,
                  "Invalid EOL type.");
  EXPECT_EQ(ToUtf8(b.GetString()), "no line feed &amp; fine|before");
}
