#include "vxbind/platform/Utf16.h"

#include <gtest/gtest.h>

#include "support/GuardedText.h"
#include "support/Text.h"

using namespace VxVevAva5;
using vxtest::GuardedText;

TEST(Utf16, LengthStopsAtTheTerminatorAndReadsNothingAfterIt) {
  EXPECT_EQ(Utf16::Length(nullptr), 0u);
  // Units whose bytes a word-at-a-time scan could take for a terminator, or
  // miss one beside. The lengths and the slack put the terminator at every
  // offset within a step and within an 8-byte word, with nothing readable
  // after it.
  const unsigned short kUnits[] = {u'a', 0x8000, 0xFFFF, 0x0100, 0x0001, 0xD800, 0x00FF};
  for (size_t n = 0; n < 40; ++n) {
    String text;
    for (size_t i = 0; i < n; ++i) text.push_back(kUnits[i % 7]);
    for (size_t slack = 0; slack < 4; ++slack) {
      GuardedText guarded(text, slack);
      EXPECT_EQ(Utf16::Length(guarded.c_str()), n);
    }
  }
  String withNul = vxtest::U("ab");
  withNul += {0, u'c'};
  EXPECT_EQ(Utf16::Length(withNul.c_str()), 2u);
}
