// Loading XML into the document tree, beside Expat alone (the floor: same
// UTF-16 build, no handlers), libxml2 and pugixml on the same bytes.
#include <benchmark/benchmark.h>
#include <expat.h>
#include <libxml/parser.h>
#include <libxml/tree.h>

#include <memory>
#include <vector>

#ifdef VXBIND_BENCH_HAVE_PUGIXML
#include <pugixml.hpp>
#endif

#include "ReaderCorpus.h"
#include "vxbind/document/XmlDocument.h"

using namespace VxVevAva5;

namespace {

const vxbench::ReaderCorpus& Data() { return vxbench::Corpus20MB(); }

void SetBytes(benchmark::State& state) {
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(Data().xml.size()));
}

// Counts elements and attributes without recursion.
void CountTree(const CXmlElement* root, size_t& elements, size_t& attributes) {
  std::vector<const CXmlElement*> stack{root};
  while (!stack.empty()) {
    const CXmlElement* e = stack.back();
    stack.pop_back();
    ++elements;
    attributes += e->GetAttributes().size();
    for (const CXmlElement* c = e->GetFirstElement(); c; c = c->GetNextSiblingElement())
      stack.push_back(c);
  }
}

// A fast but wrong result must not count: the tree is checked once.
bool CheckTree(benchmark::State& state, const CXmlDocument& doc) {
  size_t elements = 0, attributes = 0;
  CountTree(doc.GetDocumentElement(), elements, attributes);
  if (elements == Data().elements && attributes == Data().attributes) return true;
  state.SkipWithError("the tree does not match the document");
  return false;
}

void LoadInto(CXmlDocument& doc) {
  std::string& xml = const_cast<std::string&>(Data().xml);
  doc.LoadXmlStream(reinterpret_cast<unsigned char*>(xml.data()),
                    static_cast<uint32_t>(xml.size()));
}

void BM_Baseline_ExpatUtf16NoHandlers(benchmark::State& state) {
  const std::string& xml = Data().xml;
  for (auto _ : state) {
    XML_Parser p = XML_ParserCreateNS(nullptr, '|');
    bool ok = XML_Parse(p, xml.data(), static_cast<int>(xml.size()), XML_TRUE) == XML_STATUS_OK;
    XML_ParserFree(p);
    if (!ok) {
      state.SkipWithError("Expat failed");
      break;
    }
  }
  SetBytes(state);
}
BENCHMARK(BM_Baseline_ExpatUtf16NoHandlers)->Unit(benchmark::kMillisecond);

// The same, with the reader's four handlers set but doing nothing: what
// Expat itself spends on reporting (UTF-16 conversion of text, attribute
// arrays, calls). The gap to the next line is the tree.
void NoStart(void*, const XML_Char*, const XML_Char**) {}
void NoEnd(void*, const XML_Char*) {}
void NoText(void*, const XML_Char*, int) {}
void NoNsStart(void*, const XML_Char*, const XML_Char*) {}
void NoNsEnd(void*, const XML_Char*) {}

void BM_Baseline_ExpatUtf16EmptyHandlers(benchmark::State& state) {
  const std::string& xml = Data().xml;
  for (auto _ : state) {
    XML_Parser p = XML_ParserCreateNS(nullptr, '|');
    XML_SetElementHandler(p, NoStart, NoEnd);
    XML_SetNamespaceDeclHandler(p, NoNsStart, NoNsEnd);
    XML_SetCharacterDataHandler(p, NoText);
    bool ok = XML_Parse(p, xml.data(), static_cast<int>(xml.size()), XML_TRUE) == XML_STATUS_OK;
    XML_ParserFree(p);
    if (!ok) {
      state.SkipWithError("Expat failed");
      break;
    }
  }
  SetBytes(state);
}
BENCHMARK(BM_Baseline_ExpatUtf16EmptyHandlers)->Unit(benchmark::kMillisecond);

void BM_CXmlDocument_Load(benchmark::State& state) {
  {
    CXmlDocument doc;
    LoadInto(doc);
    if (!CheckTree(state, doc)) return;
  }
  for (auto _ : state) {
    auto doc = std::make_unique<CXmlDocument>();
    LoadInto(*doc);
    benchmark::DoNotOptimize(doc->GetDocumentElement());
    state.PauseTiming();
    doc.reset();
    state.ResumeTiming();
  }
  SetBytes(state);
}
BENCHMARK(BM_CXmlDocument_Load)->Unit(benchmark::kMillisecond);

void BM_CXmlDocument_LoadAndDestroy(benchmark::State& state) {
  for (auto _ : state) {
    CXmlDocument doc;
    LoadInto(doc);
    benchmark::DoNotOptimize(doc.GetDocumentElement());
  }
  SetBytes(state);
}
BENCHMARK(BM_CXmlDocument_LoadAndDestroy)->Unit(benchmark::kMillisecond);

void BM_Libxml2_ReadMemory(benchmark::State& state) {
  const std::string& xml = Data().xml;
  for (auto _ : state) {
    xmlDocPtr doc = xmlReadMemory(xml.data(), static_cast<int>(xml.size()), "bench.xml",
                                  nullptr, XML_PARSE_NONET | XML_PARSE_HUGE);
    if (doc == nullptr) {
      state.SkipWithError("libxml2 failed");
      break;
    }
    state.PauseTiming();
    xmlFreeDoc(doc);
    state.ResumeTiming();
  }
  SetBytes(state);
}
BENCHMARK(BM_Libxml2_ReadMemory)->Unit(benchmark::kMillisecond);

void BM_Libxml2_ReadMemoryAndFree(benchmark::State& state) {
  const std::string& xml = Data().xml;
  for (auto _ : state) {
    xmlDocPtr doc = xmlReadMemory(xml.data(), static_cast<int>(xml.size()), "bench.xml",
                                  nullptr, XML_PARSE_NONET | XML_PARSE_HUGE);
    if (doc == nullptr) {
      state.SkipWithError("libxml2 failed");
      break;
    }
    xmlFreeDoc(doc);
  }
  SetBytes(state);
}
BENCHMARK(BM_Libxml2_ReadMemoryAndFree)->Unit(benchmark::kMillisecond);

#ifdef VXBIND_BENCH_HAVE_PUGIXML
void BM_Pugixml_Load(benchmark::State& state) {
  const std::string& xml = Data().xml;
  for (auto _ : state) {
    auto doc = std::make_unique<pugi::xml_document>();
    if (!doc->load_buffer(xml.data(), xml.size())) {
      state.SkipWithError("pugixml failed");
      break;
    }
    state.PauseTiming();
    doc.reset();
    state.ResumeTiming();
  }
  SetBytes(state);
}
BENCHMARK(BM_Pugixml_Load)->Unit(benchmark::kMillisecond);

void BM_Pugixml_LoadAndDestroy(benchmark::State& state) {
  const std::string& xml = Data().xml;
  for (auto _ : state) {
    pugi::xml_document doc;
    if (!doc.load_buffer(xml.data(), xml.size())) {
      state.SkipWithError("pugixml failed");
      break;
    }
  }
  SetBytes(state);
}
BENCHMARK(BM_Pugixml_LoadAndDestroy)->Unit(benchmark::kMillisecond);
#endif

}  // namespace
