// Threads that each read and write their own ledgers of the same generated
// classes (core/schema/Threads.xsd) with validation on: patterns, bounds,
// a key and its keyref, as text and as Fast Infoset. Whatever the library
// keeps for the program (metadata, compiled patterns, simple-type nodes) is
// made by whichever thread comes first and shared; what one read checks
// (identity tables, match scratch) is the thread's own. Each thread must get
// exactly what one thread alone gets. Built also into vxbind_thread_tests,
// which tools/run-tests.sh runs under ThreadSanitizer.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "Threads.h"  // generated: namespace ThreadsSchema
#include "support/Text.h"

using namespace VxVevAva5;
using ThreadsSchema::CLedger;
using vxtest::ToUtf8;

namespace {

enum class Flaw { kNone, kPattern, kBound, kDuplicateKey, kDanglingRef };

// A ledger of `accounts` accounts and as many transfers, made from `seed`,
// with one `flaw` that validation refuses. Holders' names are long enough
// to need heap storage; every third account has a limit beyond 64 bits.
std::string LedgerText(int seed, int accounts, Flaw flaw) {
  std::string xml = "<ledger xmlns=\"urn:threads\" opened=\"2024-0" + std::to_string(1 + seed % 9) +
                    "-1" + std::to_string(seed % 10) + "\">";
  auto code = [seed](int i) {
    return std::string(1, static_cast<char>('A' + seed % 26)) + "Q-" +
           std::to_string(1000 + i * 7 % 9000);
  };
  for (int i = 0; i < accounts; ++i) {
    std::string id = code(i);
    if (flaw == Flaw::kPattern && i == accounts / 2) id = "q" + id;
    if (flaw == Flaw::kDuplicateKey && i == accounts - 1) id = code(0);
    xml += "<account code=\"" + id + "\"><holder>Holder number " + std::to_string(seed * 1000 + i) +
           " of the ledger</holder><balance>" + std::to_string((seed * 7919 + i * 104729) % 200000 - 100000) +
           "." + std::to_string(10 + i % 90) + "</balance>";
    if (i % 3 == 0) xml += "<limit>" + std::to_string(seed) + "123456789012345678901234567</limit>";
    xml += "</account>";
  }
  for (int i = 0; i < accounts; ++i) {
    std::string to = flaw == Flaw::kDanglingRef && i == 1 ? "ZZ-9999" : code((i * 5) % accounts);
    std::string amount = flaw == Flaw::kBound && i == accounts - 1 ? "1000000.01" : std::to_string(i * 13 % 5000) + ".5";
    xml += "<transfer><to>" + to + "</to><amount>" + amount + "</amount><on>2024-05-" +
           std::to_string(10 + i % 18) + "T12:" + std::to_string(10 + i % 50) + ":00Z</on></transfer>";
  }
  return xml + "</ledger>";
}

// What one thread makes of the ledgers of `seed`, `rounds` times over: the
// valid one as written back in text, the same after a round trip through
// Fast Infoset, and the message of each flawed one. Any difference between
// rounds is reported in place of the result.
std::string ReadAndWrite(int seed, int rounds) {
  CXmlSerializationContext context;
  context.SetValidateOnRead(true);
  const std::string valid = LedgerText(seed, 40, Flaw::kNone);
  const std::vector<std::string> flawed = {
      LedgerText(seed, 40, Flaw::kPattern), LedgerText(seed, 40, Flaw::kBound),
      LedgerText(seed, 40, Flaw::kDuplicateKey), LedgerText(seed, 40, Flaw::kDanglingRef)};
  std::string first;
  for (int round = 0; round < rounds; ++round) {
    std::string result;
    try {
      CSmartPtr<CLedger> ledger = new CLedger;
      ledger->FromXml(valid.c_str(), context);
      const String text = ledger->ToXml(false, false);
      CSmartPtr<CLedger> back = new CLedger;
      back->FromXmlStream(ledger->ToFastInfosetStream(FInfoDecl_None, context), context);
      if (back->ToXml(false, false) != text) return "the Fast Infoset round trip differs";
      result = ToUtf8(text);
    } catch (const CVxException& e) {
      return "the valid ledger failed: " + ToUtf8(e.GetFullMessage());
    }
    for (const std::string& xml : flawed) {
      try {
        CSmartPtr<CLedger> ledger = new CLedger;
        ledger->FromXml(xml.c_str(), context);
        result += "\naccepted";
      } catch (const CVxException& e) {
        result += "\n" + ToUtf8(e.GetFullMessage());
      }
    }
    if (round == 0)
      first = result;
    else if (result != first)
      return "round " + std::to_string(round) + " differs from the first";
  }
  return first;
}

TEST(BindingThreads, ValidatingReadsAndWritesMatchOneThreadAlone) {
  constexpr int kThreads = 4;
  constexpr int kRounds = 25;
  std::vector<std::string> results(kThreads);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t)
    threads.emplace_back([t, &results] { results[t] = ReadAndWrite(t + 1, kRounds); });
  for (std::thread& thread : threads) thread.join();
  for (int t = 0; t < kThreads; ++t) {
    const std::string alone = ReadAndWrite(t + 1, 1);
    EXPECT_EQ(results[t], alone) << "thread " << t;
    // Each flawed ledger is refused, each for its own reason.
    EXPECT_EQ(alone.find("\naccepted"), std::string::npos) << alone;
    for (const char* reason : {"Invalid Value for code [q", "Invalid Value for amount [1000000.01]",
                               "Duplicate key value [", "The keyref [transferTo] value [ZZ-9999]"})
      EXPECT_NE(alone.find(reason), std::string::npos) << reason;
  }
  EXPECT_NE(results[0], results[1]);
}

}  // namespace
