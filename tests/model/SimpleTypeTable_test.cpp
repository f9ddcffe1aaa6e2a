// Simple type tables checked directly: what generated classes never make
// (a table that refers to itself) is refused, and tables first checked from
// several threads at once give every thread the same verdicts. What the
// checks accept and refuse is tested through generated classes
// (tests/compiler/ValidateLists_test.cpp).
#include "vxbind/model/SimpleTypeTable.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "support/Text.h"
#include "vxbind/vxbind.h"

using namespace VxVevAva5;
using namespace VxVevAva5Data;
using vxtest::ToUtf8;

namespace {

std::string Failure(const SimpleTypeTable& type, const char* text) {
  try {
    CheckSimpleType(&type, VX_T("v"), Utf16::FromUtf8(text));
  } catch (const CVxException& e) {
    return ToUtf8(e.GetMessage());
  }
  return "";
}

// A list of itself, through a union.
extern const SimpleTypeTable kLoop;
constexpr const SimpleTypeTable* kLoopMembers[] = {&kLoop};
constexpr SimpleTypeTable kLoopUnion = UnionType(u"LoopUnion", kLoopMembers, 1);
constexpr SimpleTypeTable kLoop = ListType(u"Loop", &kLoopUnion);

TEST(SimpleTypeTable, ATableThatHoldsItselfIsRefusedEveryTime) {
  EXPECT_EQ(Failure(kLoop, "1"), "The simple type [Loop] nests more than 32 types");
  EXPECT_EQ(Failure(kLoop, "1"), "The simple type [Loop] nests more than 32 types");
  EXPECT_EQ(Failure(kLoopUnion, "1"), "The simple type [LoopUnion] nests more than 32 types");
}

constexpr FacetTable kSmallFacets = FacetTable().MaxInclusive(u"9");
constexpr SimpleTypeTable kSmall =
    AtomicType(u"Small", ItemType_i4, CWhitespaceUtils::WhitespaceRule_Collapse, &kSmallFacets);
constexpr FacetTable kPairFacets = FacetTable().Length(2);
constexpr SimpleTypeTable kPair = ListType(u"Pair", &kSmall, &kPairFacets);

TEST(SimpleTypeTable, ThreadsCheckingAtFirstUseGetTheSameVerdicts) {
  std::atomic<bool> go{false};
  std::vector<std::string> valid(4), invalid(4);
  std::vector<std::thread> threads;
  for (size_t i = 0; i < valid.size(); ++i)
    threads.emplace_back([&, i] {
      while (!go.load()) std::this_thread::yield();
      valid[i] = Failure(kPair, " 1\t9 ");
      invalid[i] = Failure(kPair, "1 10");
    });
  go = true;
  for (std::thread& t : threads) t.join();
  for (size_t i = 0; i < valid.size(); ++i) {
    EXPECT_EQ(valid[i], "");
    EXPECT_EQ(invalid[i], "Invalid Value for v [1 10]: the item [10] is not a valid [Small]");
  }
}

}  // namespace
