// Loading XML into the document tree, beside Expat alone (the floor: no
// handlers; its UTF-8 build, which vxbind uses, and its UTF-16 build),
// libxml2 and pugixml on the same bytes.
#include <benchmark/benchmark.h>
#include <dlfcn.h>
#include <expat.h>
#include <libxml/parser.h>
#include <libxml/tree.h>

#include <memory>
#include <type_traits>
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

// Expat's UTF-16 build (Debian's libexpatw) exports the same names as the
// UTF-8 build that vxbind and this program link, so it is loaded apart, its
// own names first, and called through pointers.
struct ExpatUtf16 {
  using Char = unsigned short;
  using StartHandler = void (*)(void*, const Char*, const Char**);
  using EndHandler = void (*)(void*, const Char*);
  using TextHandler = void (*)(void*, const Char*, int);
  using NsStartHandler = void (*)(void*, const Char*, const Char*);
  XML_Parser (*createNS)(const Char*, Char) = nullptr;
  int (*parse)(XML_Parser, const char*, int, int) = nullptr;
  void (*free)(XML_Parser) = nullptr;
  void (*setElementHandler)(XML_Parser, StartHandler, EndHandler) = nullptr;
  void (*setNamespaceDeclHandler)(XML_Parser, NsStartHandler, EndHandler) = nullptr;
  void (*setCharacterDataHandler)(XML_Parser, TextHandler) = nullptr;
};

const ExpatUtf16* LoadExpatUtf16() {
  static const ExpatUtf16* loaded = []() -> const ExpatUtf16* {
    void* lib = dlopen("libexpatw.so.1", RTLD_NOW | RTLD_LOCAL | RTLD_DEEPBIND);
    if (lib == nullptr) return nullptr;
    static ExpatUtf16 e;
    auto get = [lib](auto& fn, const char* name) {
      fn = reinterpret_cast<std::remove_reference_t<decltype(fn)>>(dlsym(lib, name));
      return fn != nullptr;
    };
    if (!get(e.createNS, "XML_ParserCreateNS") || !get(e.parse, "XML_Parse") ||
        !get(e.free, "XML_ParserFree") || !get(e.setElementHandler, "XML_SetElementHandler") ||
        !get(e.setNamespaceDeclHandler, "XML_SetNamespaceDeclHandler") ||
        !get(e.setCharacterDataHandler, "XML_SetCharacterDataHandler"))
      return nullptr;
    return &e;
  }();
  return loaded;
}

// Handlers that do nothing: with them set, Expat does what it does to report
// (converting text, building attribute arrays, calls). The gap to
// BM_CXmlDocument_Load is the tree.
template <class Char>
void NoStart(void*, const Char*, const Char**) {}
template <class Char>
void NoEnd(void*, const Char*) {}
template <class Char>
void NoText(void*, const Char*, int) {}
template <class Char>
void NoNsStart(void*, const Char*, const Char*) {}

void ExpatUtf16Parse(benchmark::State& state, bool handlers) {
  const ExpatUtf16* expat = LoadExpatUtf16();
  if (expat == nullptr) {
    state.SkipWithError("libexpatw.so.1 cannot be loaded");
    return;
  }
  using Char = ExpatUtf16::Char;
  const std::string& xml = Data().xml;
  for (auto _ : state) {
    XML_Parser p = expat->createNS(nullptr, u'|');
    if (handlers) {
      expat->setElementHandler(p, NoStart<Char>, NoEnd<Char>);
      expat->setNamespaceDeclHandler(p, NoNsStart<Char>, NoEnd<Char>);
      expat->setCharacterDataHandler(p, NoText<Char>);
    }
    bool ok = expat->parse(p, xml.data(), static_cast<int>(xml.size()), XML_TRUE) ==
              XML_STATUS_OK;
    expat->free(p);
    if (!ok) {
      state.SkipWithError("Expat failed");
      break;
    }
  }
  SetBytes(state);
}

void ExpatUtf8Parse(benchmark::State& state, bool handlers) {
  const std::string& xml = Data().xml;
  for (auto _ : state) {
    XML_Parser p = XML_ParserCreateNS(nullptr, '|');
    if (handlers) {
      XML_SetElementHandler(p, NoStart<XML_Char>, NoEnd<XML_Char>);
      XML_SetNamespaceDeclHandler(p, NoNsStart<XML_Char>, NoEnd<XML_Char>);
      XML_SetCharacterDataHandler(p, NoText<XML_Char>);
    }
    bool ok = XML_Parse(p, xml.data(), static_cast<int>(xml.size()), XML_TRUE) == XML_STATUS_OK;
    XML_ParserFree(p);
    if (!ok) {
      state.SkipWithError("Expat failed");
      break;
    }
  }
  SetBytes(state);
}

void BM_Baseline_ExpatUtf16NoHandlers(benchmark::State& state) { ExpatUtf16Parse(state, false); }
BENCHMARK(BM_Baseline_ExpatUtf16NoHandlers)->Unit(benchmark::kMillisecond);

void BM_Baseline_ExpatUtf16EmptyHandlers(benchmark::State& state) { ExpatUtf16Parse(state, true); }
BENCHMARK(BM_Baseline_ExpatUtf16EmptyHandlers)->Unit(benchmark::kMillisecond);

void BM_Baseline_ExpatUtf8NoHandlers(benchmark::State& state) { ExpatUtf8Parse(state, false); }
BENCHMARK(BM_Baseline_ExpatUtf8NoHandlers)->Unit(benchmark::kMillisecond);

void BM_Baseline_ExpatUtf8EmptyHandlers(benchmark::State& state) { ExpatUtf8Parse(state, true); }
BENCHMARK(BM_Baseline_ExpatUtf8EmptyHandlers)->Unit(benchmark::kMillisecond);

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
