// The allocation-failure sweep, after Expat's alloc_tests and pugixml's test
// allocator: a scenario runs once to learn what it gives, then again with
// allocation n failing, for n = 0, 1, 2, ... until a run needs no failure.
// Every run must give what the first run gave or throw std::bad_alloc, and
// must free everything it allocated. A scenario checks the state promised
// for its objects after a failure itself, with Promise.
#ifndef VXBIND_TESTS_ALLOC_SWEEP_H
#define VXBIND_TESTS_ALLOC_SWEEP_H

#include <gtest/gtest.h>

#include <cstdio>
#include <exception>
#include <functional>
#include <new>
#include <string>
#include <typeinfo>
#include <utility>
#include <vector>

#include "alloc/FailingAllocator.h"
#include "support/Text.h"
#include "vxbind/base/Exceptions.h"

namespace vxtest {
namespace alloc {

// What one run gave: the text the scenario returned, or what it threw.
struct Outcome {
  enum Kind { kValue, kBadAlloc, kVxException, kOther };
  Kind kind;
  std::string text;  // the value, or the exception's class and full message
};

inline const char* KindName(Outcome::Kind kind) {
  switch (kind) {
    case Outcome::kValue: return "a value";
    case Outcome::kBadAlloc: return "std::bad_alloc";
    case Outcome::kVxException: return "a CVxException";
    default: return "another exception";
  }
}

template <class Scenario>
Outcome RunOnce(Scenario& scenario) {
  try {
    std::string value = scenario();
    return Outcome{Outcome::kValue, std::move(value)};
  } catch (const std::bad_alloc&) {
    return Outcome{Outcome::kBadAlloc, std::string()};
  } catch (const VxVevAva5::CVxException& e) {
    Pause pause;
    return Outcome{Outcome::kVxException,
                   std::string(typeid(e).name()) + ": " + ToUtf8(e.GetFullMessage())};
  } catch (const std::exception& e) {
    Pause pause;
    return Outcome{Outcome::kOther, std::string(typeid(e).name()) + ": " + e.what()};
  } catch (...) {
    return Outcome{Outcome::kOther, "an exception of unknown type"};
  }
}

// Sweeps `scenario` (a callable returning std::string), prints how many
// allocations one complete run of it makes, and returns that number.
template <class Scenario>
int64_t Sweep(const std::string& name, Scenario scenario) {
  const Outcome expected = RunOnce(scenario);  // also fills lazy statics
  EXPECT_TRUE(expected.kind == Outcome::kValue || expected.kind == Outcome::kVxException)
      << "the run without failures gave " << KindName(expected.kind) << " " << expected.text;
  const ::testing::TestResult* result =
      ::testing::UnitTest::GetInstance()->current_test_info()->result();
  const int failuresBefore = result->total_part_count();
  constexpr int64_t kMaxRuns = 100000;
  for (int64_t n = 0; n < kMaxRuns; ++n) {
    const int64_t live = Live();
    bool injected;
    {
      FailAfter(n);
      Outcome got = RunOnce(scenario);
      injected = Disarm();
      if (got.kind == Outcome::kBadAlloc) {
        EXPECT_TRUE(injected) << "std::bad_alloc without an injected failure";
      } else if (got.kind != expected.kind || got.text != expected.text) {
        ADD_FAILURE() << "with allocation " << n << (injected ? " failing" : " not reached")
                      << " the scenario gave " << KindName(got.kind) << " \"" << got.text
                      << "\" instead of " << KindName(expected.kind) << " \"" << expected.text
                      << "\"";
      }
    }
    // A reported failure is kept on the heap: no leak check after one.
    if (result->total_part_count() != failuresBefore) return n;
    EXPECT_EQ(Live(), live) << "allocations left behind with allocation " << n << " failing";
    if (!injected) {
      std::printf("[  sweep   ] %s: %lld allocations\n", name.c_str(), static_cast<long long>(n));
      return n;
    }
  }
  ADD_FAILURE() << "the scenario still allocates after " << kMaxRuns << " allocations";
  return kMaxRuns;
}

// Runs `op`; if it throws, checks the promised state with `check`, with the
// allocator paused (so the check itself cannot fail), and rethrows.
template <class Op, class Check>
void Promise(Op&& op, Check&& check) {
  try {
    op();
  } catch (...) {
    Pause pause;
    check();
    throw;
  }
}

// A named scenario; SweepRows sweeps each one.
using Row = std::pair<std::string, std::function<std::string()>>;
inline void SweepRows(const std::vector<Row>& rows) {
  for (const Row& row : rows) {
    SCOPED_TRACE(row.first);
    Sweep(row.first, row.second);
  }
}

}  // namespace alloc
}  // namespace vxtest

#endif  // VXBIND_TESTS_ALLOC_SWEEP_H
