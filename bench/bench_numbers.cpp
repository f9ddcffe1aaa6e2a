// Parse-and-print round trips of CDecimal and CBigInteger beside the C
// library on the same texts, decimal division, and a 10-million-digit
// integer.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "vxbind/platform/Utf16.h"
#include "vxbind/values/BigInteger.h"
#include "vxbind/values/Decimal.h"

using namespace VxVevAva5;

namespace {

const size_t kValues = 1000000;

struct Texts {
  std::vector<std::string> narrow;
  std::vector<String> wide;
};

Texts Widen(std::vector<std::string> narrow) {
  Texts t;
  t.wide.reserve(narrow.size());
  for (const std::string& s : narrow) t.wide.push_back(Utf16::FromUtf8(s));
  t.narrow = std::move(narrow);
  return t;
}

std::string Digits(std::mt19937_64& rng, int count) {
  std::string s(1, static_cast<char>('1' + rng() % 9));
  for (int i = 1; i < count; ++i) s += static_cast<char>('0' + rng() % 10);
  return s;
}

// Typical decimals: 12345.67, -0.05, 1.2e2 and their kin.
const Texts& Decimals() {
  static const Texts t = [] {
    std::mt19937_64 rng(42);
    std::vector<std::string> v;
    v.reserve(kValues);
    for (size_t i = 0; i < kValues; ++i) {
      std::string s;
      switch (rng() % 4) {
        case 0:  // 12345.67
          s = Digits(rng, 1 + static_cast<int>(rng() % 7)) + "." + std::to_string(rng() % 90 + 10);
          break;
        case 1:  // -0.05
          s = "-0.0" + std::to_string(1 + rng() % 9);
          break;
        case 2:  // 1.2e2
          s = std::to_string(1 + rng() % 9) + "." + std::to_string(1 + rng() % 9) + "e" +
              std::to_string(rng() % 5);
          break;
        default:  // 4711.125
          s = Digits(rng, 1 + static_cast<int>(rng() % 5)) + "." +
              std::to_string(rng() % 900 + 100);
      }
      v.push_back(s);
    }
    return Widen(std::move(v));
  }();
  return t;
}

Texts Integers(int maxDigits) {
  std::mt19937_64 rng(43 + static_cast<unsigned>(maxDigits));
  std::vector<std::string> v;
  v.reserve(kValues);
  for (size_t i = 0; i < kValues; ++i) {
    std::string s = Digits(rng, 1 + static_cast<int>(rng() % static_cast<unsigned>(maxDigits)));
    if (rng() % 2) s.insert(0, "-");
    v.push_back(s);
  }
  return Widen(std::move(v));
}

const Texts& Integers18() {
  static const Texts t = Integers(18);
  return t;
}

const Texts& Integers30() {
  static const Texts t = Integers(30);
  return t;
}

void BM_Baseline_Decimal_strtod_snprintf(benchmark::State& state) {
  const std::vector<std::string>& texts = Decimals().narrow;
  char out[64];
  size_t i = 0, total = 0;
  for (auto _ : state) {
    double d = std::strtod(texts[i].c_str(), nullptr);
    total += static_cast<size_t>(std::snprintf(out, sizeof out, "%.17g", d));
    benchmark::DoNotOptimize(out);
    if (++i == texts.size()) i = 0;
  }
  benchmark::DoNotOptimize(total);
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Baseline_Decimal_strtod_snprintf);

void BM_CDecimal_ParsePrint(benchmark::State& state) {
  const std::vector<String>& texts = Decimals().wide;
  if (Utf16::ToUtf8(CDecimal(VX_T("1.2e2")).ToString()) != "120" ||
      Utf16::ToUtf8(CDecimal(VX_T("-0.05")).ToString()) != "-0.05" ||
      Utf16::ToUtf8(CDecimal(VX_T("12345.67")).ToString()) != "12345.67") {
    state.SkipWithError("wrong result");
    return;
  }
  size_t i = 0, total = 0;
  for (auto _ : state) {
    String s = CDecimal(texts[i].c_str()).ToString();
    total += s.size();
    benchmark::DoNotOptimize(s);
    if (++i == texts.size()) i = 0;
  }
  benchmark::DoNotOptimize(total);
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_CDecimal_ParsePrint);

void BM_Baseline_Int18_strtoll_snprintf(benchmark::State& state) {
  const std::vector<std::string>& texts = Integers18().narrow;
  char out[32];
  size_t i = 0, total = 0;
  for (auto _ : state) {
    long long v = std::strtoll(texts[i].c_str(), nullptr, 10);
    total += static_cast<size_t>(std::snprintf(out, sizeof out, "%lld", v));
    benchmark::DoNotOptimize(out);
    if (++i == texts.size()) i = 0;
  }
  benchmark::DoNotOptimize(total);
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Baseline_Int18_strtoll_snprintf);

void IntegerRoundTrip(benchmark::State& state, const Texts& t) {
  const std::vector<String>& texts = t.wide;
  for (size_t k = 0; k < 1000; ++k)
    if (CBigInteger(texts[k].c_str()).ToString() != texts[k]) {
      state.SkipWithError("round trip changed a value");
      return;
    }
  size_t i = 0, total = 0;
  for (auto _ : state) {
    String s = CBigInteger(texts[i].c_str()).ToString();
    total += s.size();
    benchmark::DoNotOptimize(s);
    if (++i == texts.size()) i = 0;
  }
  benchmark::DoNotOptimize(total);
  state.SetItemsProcessed(state.iterations());
}

void BM_CBigInteger_ParsePrint_1to18(benchmark::State& state) {
  IntegerRoundTrip(state, Integers18());
}
BENCHMARK(BM_CBigInteger_ParsePrint_1to18);

void BM_CBigInteger_ParsePrint_1to30(benchmark::State& state) {
  IntegerRoundTrip(state, Integers30());
}
BENCHMARK(BM_CBigInteger_ParsePrint_1to30);

// 1,000 quotients of 30-digit decimals (15 integer and 15 fraction digits).
void BM_CDecimal_Divide30(benchmark::State& state) {
  std::mt19937_64 rng(44);
  std::vector<CDecimal> a, b;
  for (int k = 0; k < 1000; ++k) {
    a.emplace_back(Utf16::FromUtf8(Digits(rng, 15) + "." + Digits(rng, 15)).c_str());
    b.emplace_back(Utf16::FromUtf8((k % 2 ? "-" : "") + Digits(rng, 15) + "." + Digits(rng, 15))
                       .c_str());
  }
  for (auto _ : state) {
    for (size_t k = 0; k < a.size(); ++k) {
      CDecimal q = a[k] / b[k];
      benchmark::DoNotOptimize(q);
    }
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(a.size()));
}
BENCHMARK(BM_CDecimal_Divide30)->Unit(benchmark::kMicrosecond);

// A 10-million-digit literal read and written back.
void BM_CBigInteger_10MDigits_ParsePrint(benchmark::State& state) {
  std::mt19937_64 rng(45);
  std::string digits = Digits(rng, 10000000);
  String text = Utf16::FromUtf8(digits);
  for (auto _ : state) {
    String s = CBigInteger(text.c_str()).ToString();
    if (s.size() != text.size()) state.SkipWithError("round trip changed the length");
    benchmark::DoNotOptimize(s);
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_CBigInteger_10MDigits_ParsePrint)->Unit(benchmark::kMillisecond);

}  // namespace
