// Two threads that each bind their own object graphs of the same classes:
// the metadata is built once (by whichever thread comes first) and shared,
// and nothing in the driver writes to it. Built also as a program of its
// own, which tools/run-tests.sh runs under ThreadSanitizer.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "TestSchema.h"
#include "support/Text.h"

using namespace VxVevAva5;
using namespace VxVevAva5Data;
using namespace TestSchema;
using vxtest::ToUtf8;

namespace {

// Builds a graph of every kind, writes it, reads the text back into a new
// graph and writes that again, `rounds` times; returns the first text, or
// the failure.
std::string BindRepeatedly(int seed, int rounds) {
  std::string first;
  try {
    for (int round = 0; round < rounds; ++round) {
      CSmartPtr<CSeq> seq = new CSeq;
      seq->SetVersion(Utf16::FromUtf8(std::to_string(seed) + ".0").c_str());
      seq->GetLeafM()->SetId(seed);
      seq->GetLeafM()->SetText(VX_T("text"));
      seq->GetPair()->SetFirst(VX_T("f"));
      CSmartPtr<CCircle> circle = new CCircle;
      circle->SetRadius(seed + 0.5);
      seq->SetShapeM(circle);
      CSmartPtr<CSquare> square = new CSquare;
      square->SetSide(round + 1);
      seq->GetShapeC()->Add(square);
      seq->SetCount(seed);
      seq->GetTag()->Add(Utf16::FromUtf8("t" + std::to_string(round % 7)));
      seq->GetHue()->Add(Color_green);
      seq->GetAny()->Add(VX_T("free"))->SetText(VX_T("x"));
      CSmartPtr<CChoice> choice = new CChoice;
      choice->GetLeafC()->Add()->SetId(round);

      String text = seq->ToXml(false, false) + choice->ToXml(false, false);
      CSmartPtr<CSeq> seqCopy = new CSeq;
      seqCopy->FromXml(seq->ToXml().c_str());
      CSmartPtr<CChoice> choiceCopy = new CChoice;
      choiceCopy->FromXml(choice->ToXml().c_str());
      String again = seqCopy->ToXml(false, false) + choiceCopy->ToXml(false, false);
      if (again != text) return "round trip differs: " + ToUtf8(again);
      if (round == 0) first = ToUtf8(text);
    }
  } catch (const CVxException& e) {
    return "failed: " + ToUtf8(e.GetFullMessage());
  }
  return first;
}

}  // namespace

TEST(BindingThreads, TwoThreadsBindTheirOwnGraphsOfTheSameClasses) {
  constexpr int kRounds = 200;
  std::string results[2];
  std::vector<std::thread> threads;
  for (int t = 0; t < 2; ++t)
    threads.emplace_back([t, &results] { results[t] = BindRepeatedly(t + 1, kRounds); });
  for (std::thread& thread : threads) thread.join();
  // Each thread's graphs read back as they were written, and match what
  // one thread alone makes of the same data.
  EXPECT_EQ(results[0], BindRepeatedly(1, 1));
  EXPECT_EQ(results[1], BindRepeatedly(2, 1));
  EXPECT_NE(results[0], results[1]);
}
