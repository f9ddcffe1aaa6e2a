// Peak heap memory while loading the 20 MB document, in bytes per input byte,
// for the document tree beside libxml2 and pugixml.
//
// Method: this program replaces malloc, calloc, realloc, free and the aligned
// allocators with counting wrappers around glibc's own functions (every
// library in the process, Expat, libxml2, libstdc++'s operator new, resolves
// them here). The count is the usable size of each live block. A benchmark
// records the live bytes before the load and the highest value reached until
// the tree is complete; the difference, divided by the input size, is the
// reported `peak_per_input_byte`. The input itself is allocated before and
// not counted; whatever a library copies of it is. It is a separate program
// so that the counting does not slow down the timing benchmarks.
#include <benchmark/benchmark.h>
#include <libxml/parser.h>
#include <libxml/tree.h>
#include <malloc.h>

#include <cerrno>
#include <cstddef>
#include <memory>

#ifdef VXBIND_BENCH_HAVE_PUGIXML
#include <pugixml.hpp>
#endif

#include "ReaderCorpus.h"
#include "vxbind/document/XmlDocument.h"

extern "C" {
void* __libc_malloc(size_t);
void* __libc_calloc(size_t, size_t);
void* __libc_realloc(void*, size_t);
void* __libc_memalign(size_t, size_t);
void __libc_free(void*);
}

namespace {

// Benchmarks run on one thread; the counters need no atomics.
size_t g_live = 0;
size_t g_peak = 0;

inline void* Counted(void* p) {
  if (p != nullptr) {
    g_live += malloc_usable_size(p);
    if (g_live > g_peak) g_peak = g_live;
  }
  return p;
}
inline void Uncount(void* p) {
  if (p != nullptr) g_live -= malloc_usable_size(p);
}

}  // namespace

extern "C" {
void* malloc(size_t n) { return Counted(__libc_malloc(n)); }
void* calloc(size_t n, size_t m) { return Counted(__libc_calloc(n, m)); }
void free(void* p) {
  Uncount(p);
  __libc_free(p);
}
void* realloc(void* p, size_t n) {
  size_t old = p != nullptr ? malloc_usable_size(p) : 0;
  void* q = __libc_realloc(p, n);
  if (q == nullptr) return nullptr;  // p still live (or n == 0 freed it: rare here)
  g_live -= old;
  return Counted(q);
}
void* memalign(size_t a, size_t n) { return Counted(__libc_memalign(a, n)); }
void* aligned_alloc(size_t a, size_t n) { return Counted(__libc_memalign(a, n)); }
int posix_memalign(void** out, size_t a, size_t n) {
  void* p = Counted(__libc_memalign(a, n));
  if (p == nullptr) return ENOMEM;
  *out = p;
  return 0;
}
}

using namespace VxVevAva5;

namespace {

const vxbench::ReaderCorpus& Data() { return vxbench::Corpus20MB(); }

// Runs `load` (which keeps its result alive until `release`) and reports the
// peak growth of live heap bytes per input byte.
template <class Load>
void MeasurePeak(benchmark::State& state, Load load) {
  double worst = 0;
  for (auto _ : state) {
    size_t before = g_live;
    g_peak = g_live;
    load();
    double ratio = static_cast<double>(g_peak - before) / static_cast<double>(Data().xml.size());
    if (ratio > worst) worst = ratio;
  }
  state.counters["peak_per_input_byte"] = worst;
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(Data().xml.size()));
}

void BM_Memory_CXmlDocument(benchmark::State& state) {
  std::string& xml = const_cast<std::string&>(Data().xml);
  MeasurePeak(state, [&] {
    CXmlDocument doc;
    doc.LoadXmlStream(reinterpret_cast<unsigned char*>(xml.data()),
                      static_cast<uint32_t>(xml.size()));
    benchmark::DoNotOptimize(doc.GetDocumentElement());
  });
}
BENCHMARK(BM_Memory_CXmlDocument)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_Memory_Libxml2(benchmark::State& state) {
  const std::string& xml = Data().xml;
  MeasurePeak(state, [&] {
    xmlDocPtr doc = xmlReadMemory(xml.data(), static_cast<int>(xml.size()), "bench.xml",
                                  nullptr, XML_PARSE_NONET | XML_PARSE_HUGE);
    if (doc == nullptr) state.SkipWithError("libxml2 failed");
    xmlFreeDoc(doc);
  });
}
BENCHMARK(BM_Memory_Libxml2)->Unit(benchmark::kMillisecond)->Iterations(3);

#ifdef VXBIND_BENCH_HAVE_PUGIXML
void BM_Memory_Pugixml(benchmark::State& state) {
  const std::string& xml = Data().xml;
  MeasurePeak(state, [&] {
    pugi::xml_document doc;
    if (!doc.load_buffer(xml.data(), xml.size())) state.SkipWithError("pugixml failed");
  });
}
BENCHMARK(BM_Memory_Pugixml)->Unit(benchmark::kMillisecond)->Iterations(3);
#endif

}  // namespace
