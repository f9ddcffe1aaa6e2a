// Parse-and-print round trips of XSD dateTimes and durations, beside a
// fixed-format sscanf + snprintf of the same texts (narrow copies) as the
// baseline. Each benchmark cycles through one million prepared values; the
// figure of interest is the time per item.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "vxbind/platform/Utf16.h"
#include "vxbind/values/DateTime.h"
#include "vxbind/values/DateTimeSpan.h"

using namespace VxVevAva5;

namespace {

constexpr size_t kCount = 1000000;

struct Corpus {
  std::vector<std::string> narrow;
  std::vector<String> wide;
};

// "2011-12-03T10:15:30.123+05:30": a three-digit fraction whose last digit is
// not 0 and a numeric zone, so the text is canonical and has one fixed shape.
const Corpus& DateTimes() {
  static const Corpus corpus = [] {
    Corpus c;
    std::mt19937 rng(42);
    char buf[64];
    for (size_t i = 0; i < kCount; ++i) {
      int zone = static_cast<int>(rng() % 28) - 14;
      std::snprintf(buf, sizeof buf, "%04u-%02u-%02uT%02u:%02u:%02u.%02u%u%c%02d:%02u",
                    1900 + rng() % 200, 1 + rng() % 12, 1 + rng() % 28, rng() % 24, rng() % 60,
                    rng() % 60, rng() % 100, 1 + rng() % 9, zone < 0 ? '-' : '+',
                    zone < 0 ? -zone : zone, zone == 0 ? 0u : (rng() % 2) * 30);
      c.narrow.emplace_back(buf);
      c.wide.push_back(Utf16::FromLatin1(buf));
    }
    return c;
  }();
  return corpus;
}

// "P1Y2M3DT4H5M6.789S" with every component present and non-zero.
const Corpus& Durations() {
  static const Corpus corpus = [] {
    Corpus c;
    std::mt19937 rng(43);
    char buf[80];
    for (size_t i = 0; i < kCount; ++i) {
      std::snprintf(buf, sizeof buf, "P%uY%uM%uDT%uH%uM%u.%02u%uS", 1 + rng() % 30, 1 + rng() % 11,
                    1 + rng() % 30, 1 + rng() % 23, 1 + rng() % 59, 1 + rng() % 59, rng() % 100,
                    1 + rng() % 9);
      c.narrow.emplace_back(buf);
      c.wide.push_back(Utf16::FromLatin1(buf));
    }
    return c;
  }();
  return corpus;
}

std::string RoundTripDateTimeBaseline(const std::string& in) {
  int y, mo, d, h, mi, s, f, zh, zm;
  char sign;
  if (std::sscanf(in.c_str(), "%4d-%2d-%2dT%2d:%2d:%2d.%3d%c%2d:%2d", &y, &mo, &d, &h, &mi, &s,
                  &f, &sign, &zh, &zm) != 10)
    return std::string();
  char out[64];
  int n = std::snprintf(out, sizeof out, "%04d-%02d-%02dT%02d:%02d:%02d.%03d%c%02d:%02d", y, mo,
                        d, h, mi, s, f, sign, zh, zm);
  return std::string(out, static_cast<size_t>(n));
}

std::string RoundTripDurationBaseline(const std::string& in) {
  unsigned y, mo, d, h, mi, s, f;
  if (std::sscanf(in.c_str(), "P%uY%uM%uDT%uH%uM%u.%3uS", &y, &mo, &d, &h, &mi, &s, &f) != 7)
    return std::string();
  char out[80];
  int n = std::snprintf(out, sizeof out, "P%uY%uM%uDT%uH%uM%u.%03uS", y, mo, d, h, mi, s, f);
  return std::string(out, static_cast<size_t>(n));
}

String RoundTripDateTime(const String& in) {
  CDateTime v;
  v.ParseXSDDateTime(in.c_str());
  return v.ToString();
}

String RoundTripDuration(const String& in) {
  CDateTimeSpan v;
  v.ParseXSDDuration(in.c_str());
  return v.ToString();
}

// Every text must come back unchanged, or the timing means nothing.
template <class Texts, class F>
bool AllRoundTrip(const Texts& texts, F f) {
  for (const auto& t : texts)
    if (f(t) != t) return false;
  return true;
}

template <class Texts, class F>
void Run(benchmark::State& state, const Texts& texts, F f) {
  if (!AllRoundTrip(texts, f)) {
    state.SkipWithError("round trip changed a text");
    return;
  }
  size_t i = 0, total = 0;
  for (auto _ : state) {
    auto out = f(texts[i]);
    total += out.size();
    benchmark::DoNotOptimize(out);
    if (++i == texts.size()) i = 0;
  }
  benchmark::DoNotOptimize(total);
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
}

void BM_Baseline_DateTime_SscanfSnprintf(benchmark::State& state) {
  Run(state, DateTimes().narrow, RoundTripDateTimeBaseline);
}
BENCHMARK(BM_Baseline_DateTime_SscanfSnprintf);

void BM_CDateTime_ParseToString(benchmark::State& state) {
  Run(state, DateTimes().wide, RoundTripDateTime);
}
BENCHMARK(BM_CDateTime_ParseToString);

void BM_Baseline_Duration_SscanfSnprintf(benchmark::State& state) {
  Run(state, Durations().narrow, RoundTripDurationBaseline);
}
BENCHMARK(BM_Baseline_Duration_SscanfSnprintf);

void BM_CDateTimeSpan_ParseToString(benchmark::State& state) {
  Run(state, Durations().wide, RoundTripDuration);
}
BENCHMARK(BM_CDateTimeSpan_ParseToString);

}  // namespace
