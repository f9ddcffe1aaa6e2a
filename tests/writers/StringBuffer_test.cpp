#include "vxbind/writers/StringBuffer.h"

#include <gtest/gtest.h>

#include <random>

#include "support/Text.h"

using namespace VxVevAva5;
using vxtest::ToUtf8;
using vxtest::U;

namespace {

// A text of `n` units that never repeats within a chunk, so a lost or
// doubled chunk boundary shows up as a mismatch.
String Pattern(size_t n, size_t seed = 0) {
  String s(n, 0);
  for (size_t i = 0; i < n; ++i)
    s[i] = static_cast<unsigned short>(0x100 + (i * 7 + seed) % 0xFE00);
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

TEST(CStringBuffer, PiecesOfEverySizeCrossChunksWithoutLoss) {
  size_t length = 99;
  EXPECT_EQ(CStringBuffer(0x10000).GetJoinedText(length)[0], 0);  // empty: "" of length 0
  EXPECT_EQ(length, 0u);
  // Chunks of 3 units: pieces land on every boundary offset. Large chunks:
  // every short-copy size.
  for (unsigned int blockSize : {4u, 0x10000u}) {
    for (size_t piece = 1; piece <= 20; ++piece) {
      SCOPED_TRACE(piece);
      CStringBuffer b(blockSize);
      String all = Pattern(300);
      for (size_t at = 0; at < all.size(); at += piece) {
        String part = all.substr(at, piece);
        if (part.size() == 1) b.AppendChar(part[0]);
        else b.Append(part.data(), part.size());
      }
      EXPECT_EQ(b.GetLength(), all.size());
      EXPECT_EQ(b.GetString(), all);
      EXPECT_EQ(b.GetString(), all);  // reading twice changes nothing
    }
  }
}

TEST(CStringBuffer, TextOfOneOrMoreFullChunksJoinsOnceAndKeepsGrowing) {
  for (size_t size : {size_t{65535}, size_t{65535 * 3 + 17}}) {
    SCOPED_TRACE(size);
    CStringBuffer b(0x10000);
    String first = Pattern(size);
    b.Append(first.c_str());  // the NUL-terminated form
    EXPECT_EQ(b.GetLength(), first.size());
    size_t length = 0;
    const unsigned short* text = b.GetJoinedText(length);
    ASSERT_EQ(String(text, length), first);
    EXPECT_EQ(text[length], 0);
    EXPECT_EQ(b.GetString(), first);

    // Joining leaves one full chunk: new text starts a chunk of its own and
    // the next join puts it after the old text.
    String second = Pattern(70000, 3);
    b.Append(second.data(), second.size());
    b.AppendChar('x');
    EXPECT_EQ(b.GetLength(), first.size() + second.size() + 1);
    text = b.GetJoinedText(length);
    EXPECT_EQ(String(text, length), first + second + U("x"));
    b.Append(VX_T("yz"));
    EXPECT_EQ(b.GetString(), first + second + U("xyz"));

    b.Clear();
    EXPECT_TRUE(b.GetString().empty());
    b.Append(VX_T("again"));
    EXPECT_EQ(ToUtf8(b.GetString()), "again");
  }
}

TEST(CStringBuffer, EscapesEveryUnitLikeTheReference) {
  // Every unit but NUL, each between two ordinary letters, in one text;
  // through small chunks (escapes straddle chunk ends) and large ones
  // (eight units at a time).
  for (unsigned int blockSize : {7u, 0x10000u}) {
    for (EOLType eol : {EOLType_LF, EOLType_CRLF}) {
      String in;
      String expected;
      for (unsigned int c = 1; c <= 0xFFFF; ++c) {
        in += {'a', static_cast<unsigned short>(c)};
        expected += U("a") + EscapedReference(static_cast<unsigned short>(c), eol);
      }
      CStringBuffer b(blockSize);
      b.AppendEscaped(in.c_str(), eol);
      ASSERT_EQ(b.GetString(), expected) << "eol " << eol << " block " << blockSize;
    }
  }
}

TEST(CStringBuffer, EscapesRandomTextsAtEveryOffsetAndChunkSize) {
  // Mostly ordinary text with specials at random places, appended in pieces
  // of random length, so specials fall at every offset of an eight-unit
  // group and groups meet chunk ends with every amount of room left.
  static const unsigned short kAlphabet[] = {'x', 'y', ' ', '1', 0xE9, 0x4E2D, 0xFFFF, '\t',
                                             '"', '&', '<', '>', '\n', '\r', '\''};
  std::mt19937 rng(20240601);
  for (unsigned int blockSize : {2u, 9u, 17u, 100u, 0x10000u}) {
    CStringBuffer b(blockSize);
    String expected;
    for (int piece = 0; piece < 400; ++piece) {
      String text(rng() % 40, 0);
      for (unsigned short& c : text)
        c = rng() % 4 == 0 ? kAlphabet[rng() % 15] : static_cast<unsigned short>('a' + rng() % 26);
      // Odd pieces are length-bounded: the units after the bound are never looked at.
      String padded = text + U("&tail");
      if (piece % 2 == 0) b.AppendEscaped(text.c_str(), EOLType_CRLF);
      else b.AppendEscaped(padded.data(), text.size(), EOLType_CRLF);
      for (unsigned short c : text) expected += EscapedReference(c, EOLType_CRLF);
    }
    ASSERT_EQ(b.GetString(), expected) << "block " << blockSize;
  }
}

TEST(CStringBuffer, EscapingStopsAtTheFirstNulEvenWithinTheBound) {
  CStringBuffer b(0x10000);
  String text = U("a\r\nb\rc") + String(1, 0) + U("hidden");
  b.AppendEscaped(text.c_str(), EOLType_CRLF);
  b.AppendEscaped(text.data(), text.size(), EOLType_CRLF);
  EXPECT_EQ(ToUtf8(b.GetString()), "a\r\nbca\r\nbc");
}

TEST(CStringBuffer, InvalidLineEndTypeThrowsAtTheFirstLineFeedOnly) {
  CStringBuffer b(0x10000);
  b.AppendEscaped(VX_T("no line feed & fine"), static_cast<EOLType>(5));
  EXPECT_EQ(ToUtf8(b.GetString()), "no line feed &amp; fine");
  EXPECT_VX_THROW(b.AppendEscaped(VX_T("|before\nafter"), static_cast<EOLType>(5)), CVxException,
                  "Invalid EOL type.");
  EXPECT_EQ(ToUtf8(b.GetString()), "no line feed &amp; fine|before");
}
