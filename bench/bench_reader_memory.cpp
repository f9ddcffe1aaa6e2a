// Peak heap memory while loading the 20 MB document, in bytes per input byte,
// for the document tree beside libxml2 and pugixml.
//
// Method: HeapCounter.h counts the usable size of every live block; a
// benchmark records the highest growth of live bytes from the start of the
// load until the tree is complete, divided by the input size, as
// `peak_per_input_byte`. The input itself is allocated before and
// not counted; whatever a library copies of it is. It is a separate program
// so that the counting does not slow down the timing benchmarks.
#include <benchmark/benchmark.h>
#include <libxml/parser.h>
#include <libxml/tree.h>

#include <cstddef>
#include <memory>

#ifdef VXBIND_BENCH_HAVE_PUGIXML
#include <pugixml.hpp>
#endif

#include "HeapCounter.h"
#include "ReaderCorpus.h"
#include "vxbind/document/XmlDocument.h"

using namespace VxVevAva5;

namespace {

const vxbench::ReaderCorpus& Data() { return vxbench::Corpus20MB(); }

// Runs `load` (which keeps its result alive until `release`) and reports the
// peak growth of live heap bytes per input byte.
template <class Load>
void MeasurePeak(benchmark::State& state, Load load) {
  double worst = 0;
  for (auto _ : state) {
    vxbench::StartCounting();
    load();
    double ratio = static_cast<double>(vxbench::StopCounting()) /
                   static_cast<double>(Data().xml.size());
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
