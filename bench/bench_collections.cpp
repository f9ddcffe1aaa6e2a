// bench/bench_collections.cpp: facets, collections and untyped content, each
// beside its baseline in the same program.
//
//   Pattern facet on 20-character strings
//     Baseline_Pcre2Match        pcre2_match alone: the same pattern, compiled
//                                and JIT-compiled once, one match data, the
//                                subjects already UTF-8
//     PatternFacet               CheckFacets<ItemType_string> on the String
//     DesignCompilePerCheck      what a compile per check costs: pcre2_compile,
//                                match data, pcre2_match, free, every time
//   Adding 1,000,000 i4 values with an inclusive and an exclusive bound
//     Baseline_VectorPushBack    std::vector<int32_t> and the two comparisons
//     Ci4ColAdd                  Ci4Col::Add
//   Walking 100,000 items by index
//     Baseline_VectorOfSmartPtr  std::vector<CSmartPtr<CElement>>, each
//                                pointer copied out (Item returns one)
//     Baseline_VectorOfSmartPtrByReference  the same, read in place
//     ElementColItem             CElementCol::Item(i)
//   Writing and reading back 20 MB of wildcard content
//     Baseline_DocumentAndWriter the document tree written with
//                                CXmlTextWriter, the text read into a
//                                CXmlDocument
//     ElementColWriteRead        a CElementCol (the content of an xs:any
//                                member) written and read back into a new one
//     ElementColWriteReadVisitAll  the same, then every element and attribute
//                                reached through the API (all made as objects)
//
// Interleaved_*: each figure's baseline and library step in turn within every
// iteration, each timed on this thread's CPU clock, reported as baseline_ns,
// library_ns (per item, or per document) and their ratio. On a shared
// machine both then run under the same conditions, so the ratio is steadier
// than that of two benchmarks run one after the other.
#include <benchmark/benchmark.h>

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>
#include <time.h>

#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "ReaderCorpus.h"
#include "vxbind/collections/Element.h"
#include "vxbind/collections/PrimitiveCol.h"
#include "vxbind/conversions/PrimitiveRestrictions.h"
#include "vxbind/document/XmlDocument.h"
#include "vxbind/platform/Utf16.h"
#include "vxbind/writers/XmlTextWriter.h"

using namespace VxVevAva5;

namespace {

// -- Pattern facet ---------------------------------------------------------------

// The facet's pattern, and the same pattern as the library hands it to PCRE2
// (\d is any decimal digit in XML Schema, '-' is written as a code point).
const unsigned short* const kXsdPattern = VX_T("[A-Z]{3}-\\d{6}-[a-z]{9}");
const char* const kPcrePattern = "[A-Z]{3}\\x{2D}\\p{Nd}{6}\\x{2D}[a-z]{9}";
constexpr uint32_t kPcreOptions = PCRE2_UTF | PCRE2_ANCHORED | PCRE2_ENDANCHORED;

struct Codes {
  std::vector<String> text;
  std::vector<std::string> utf8;
  Codes() {
    std::mt19937 rng(42);
    for (int i = 0; i < 1024; ++i) {
      std::string s;
      for (int k = 0; k < 3; ++k) s += static_cast<char>('A' + rng() % 26);
      s += '-';
      for (int k = 0; k < 6; ++k) s += static_cast<char>('0' + rng() % 10);
      s += '-';
      for (int k = 0; k < 9; ++k) s += static_cast<char>('a' + rng() % 26);
      utf8.push_back(s);
      text.push_back(Utf16::FromUtf8(s));
    }
  }
};

const Codes& CodeData() {
  static const Codes codes;
  return codes;
}

pcre2_code* CompilePcre(bool jit) {
  int error = 0;
  PCRE2_SIZE offset = 0;
  pcre2_code* code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(kPcrePattern),
                                   PCRE2_ZERO_TERMINATED, kPcreOptions, &error, &offset, nullptr);
  if (code == nullptr) throw std::runtime_error("pattern does not compile");
  if (jit) pcre2_jit_compile(code, PCRE2_JIT_COMPLETE);
  return code;
}

// One match per code, the way a caller who holds the compiled pattern does.
struct BarePcre2 {
  pcre2_code* code = CompilePcre(true);
  pcre2_match_data* data = pcre2_match_data_create_from_pattern(code, nullptr);
  ~BarePcre2() {
    pcre2_match_data_free(data);
    pcre2_code_free(code);
  }
  size_t MatchAll(const Codes& codes) const {
    size_t matched = 0;
    for (const std::string& s : codes.utf8)
      matched += pcre2_match(code, reinterpret_cast<PCRE2_SPTR>(s.data()), s.size(), 0, 0, data,
                             nullptr) > 0;
    return matched;
  }
};

void CheckAll(const Codes& codes, const CPrimitiveRestrictions& facets) {
  for (const String& s : codes.text) CheckFacets<ItemType_string>(VX_T("code"), s, facets);
}

const CPrimitiveRestrictions& CodeFacets() {
  static const CPrimitiveRestrictions facets(kXsdPattern, -1, -1, nullptr, nullptr, nullptr,
                                             nullptr, -1);
  return facets;
}

bool RefusesAWrongCode() {
  try {
    CheckFacets<ItemType_string>(VX_T("code"), VX_T("AB-1"), CodeFacets());
    return false;
  } catch (const CVxException&) {
    return true;
  }
}

void BM_Baseline_Pcre2Match(benchmark::State& state) {
  const Codes& codes = CodeData();
  BarePcre2 bare;
  size_t matched = 0;
  for (auto _ : state) matched += bare.MatchAll(codes);
  if (matched != state.iterations() * codes.utf8.size())
    state.SkipWithError("a code did not match");
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(codes.utf8.size()));
}
BENCHMARK(BM_Baseline_Pcre2Match);

void BM_PatternFacet(benchmark::State& state) {
  const Codes& codes = CodeData();
  if (!RefusesAWrongCode()) state.SkipWithError("a wrong code passed");
  for (auto _ : state) CheckAll(codes, CodeFacets());
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(codes.text.size()));
}
BENCHMARK(BM_PatternFacet);

void BM_DesignCompilePerCheck(benchmark::State& state) {
  const Codes& codes = CodeData();
  size_t i = 0, matched = 0;
  for (auto _ : state) {
    std::string s = Utf16::ToUtf8(codes.text[i++ & 1023]);
    pcre2_code* code = CompilePcre(false);
    pcre2_match_data* data = pcre2_match_data_create_from_pattern(code, nullptr);
    int rc =
        pcre2_match(code, reinterpret_cast<PCRE2_SPTR>(s.data()), s.size(), 0, 0, data, nullptr);
    matched += rc > 0;
    pcre2_match_data_free(data);
    pcre2_code_free(code);
  }
  if (matched != static_cast<size_t>(state.iterations()))
    state.SkipWithError("a code did not match");
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_DesignCompilePerCheck);

// -- Adding bounded i4 values --------------------------------------------------------

constexpr int32_t kValues = 1000000;

size_t VectorPushBack() {
  const int32_t low = 0, high = kValues;  // low <= v < high
  std::vector<int32_t> values;
  for (int32_t v = 0; v < kValues; ++v) {
    benchmark::DoNotOptimize(v);
    if (!(v >= low && v < high)) throw std::runtime_error("out of range");
    values.push_back(v);
  }
  benchmark::DoNotOptimize(values.data());
  return values.size();
}

size_t Ci4ColAdd() {
  CSmartPtr<Ci4Col> values =
      new Ci4Col(VX_T("v"), VX_T(""), 0, -1, nullptr, -1, -1, VX_T("0"), nullptr, nullptr,
                 VX_T("1000000"), -1, CWhitespaceUtils::WhitespaceRule_Collapse, nullptr);
  for (int32_t v = 0; v < kValues; ++v) {
    benchmark::DoNotOptimize(v);
    values->Add(v);
  }
  benchmark::DoNotOptimize(values->begin());
  return static_cast<size_t>(values->GetCount());
}

void BM_Baseline_VectorPushBack(benchmark::State& state) {
  for (auto _ : state)
    if (VectorPushBack() != static_cast<size_t>(kValues)) state.SkipWithError("lost a value");
  state.SetItemsProcessed(state.iterations() * kValues);
}
BENCHMARK(BM_Baseline_VectorPushBack)->Unit(benchmark::kMillisecond);

void BM_Ci4ColAdd(benchmark::State& state) {
  for (auto _ : state)
    if (Ci4ColAdd() != static_cast<size_t>(kValues)) state.SkipWithError("lost a value");
  state.SetItemsProcessed(state.iterations() * kValues);
}
BENCHMARK(BM_Ci4ColAdd)->Unit(benchmark::kMillisecond);

// -- Walking by index -------------------------------------------------------------

constexpr int kItems = 100000;

struct Walk {
  CSmartPtr<CElementCol> col = new CElementCol(VX_T("urn:w"), VX_T("##any"), VX_T(""), 0, -1);
  std::vector<CSmartPtr<CElement>> vector;
  Walk() {
    for (int i = 0; i < kItems; ++i) vector.push_back(col->Add(VX_T("item")));
  }
};

const Walk& WalkData() {
  static const Walk walk;
  return walk;
}

void WalkVector(const std::vector<CSmartPtr<CElement>>& v) {
  for (size_t i = 0; i < v.size(); ++i) {
    CSmartPtr<CElement> e = v[i];
    benchmark::DoNotOptimize(e.get());
  }
}

void WalkCollection(const CElementCol& col) {
  for (int i = 0; i < col.GetCount(); ++i) {
    CSmartPtr<CElement> e = col.Item(i);
    benchmark::DoNotOptimize(e.get());
  }
}

void BM_Baseline_VectorOfSmartPtr(benchmark::State& state) {
  const std::vector<CSmartPtr<CElement>>& v = WalkData().vector;
  for (auto _ : state) WalkVector(v);
  state.SetItemsProcessed(state.iterations() * kItems);
}
BENCHMARK(BM_Baseline_VectorOfSmartPtr);

void BM_Baseline_VectorOfSmartPtrByReference(benchmark::State& state) {
  const std::vector<CSmartPtr<CElement>>& v = WalkData().vector;
  for (auto _ : state) {
    for (size_t i = 0; i < v.size(); ++i) {
      const CSmartPtr<CElement>& e = v[i];
      benchmark::DoNotOptimize(e.get());
    }
  }
  state.SetItemsProcessed(state.iterations() * kItems);
}
BENCHMARK(BM_Baseline_VectorOfSmartPtrByReference);

void BM_ElementColItem(benchmark::State& state) {
  const Walk& walk = WalkData();
  for (auto _ : state) WalkCollection(*walk.col);
  if (walk.col->Item(kItems / 2).get() != walk.vector[kItems / 2].get())
    state.SkipWithError("the walk found another item");
  state.SetItemsProcessed(state.iterations() * kItems);
}
BENCHMARK(BM_ElementColItem);

// -- 20 MB of wildcard content ----------------------------------------------------------

// The root element with its xs:any content, as a generated class holds it:
// the root's start tag, the collection's elements, the end tag.
class CAnyHolder : public CXmlObjectBase {
 public:
  CAnyHolder() : content(new CElementCol(VX_T(""), VX_T("##any"), VX_T(""), 0, -1)) {
    SetElementName(VX_T("orders"));
  }
  CXmlObjectBase* GetBase() override { return this; }
  String GetNamespace() const override { return m_namespace; }
  CSmartPtr<CElementCol> content;

 protected:
  String GetTargetNamespace() const override { return m_namespace; }
  void ToXml_Int(CXmlWriter* writer, bool, const unsigned short* namespaceUri,
                 const CXmlSerializationContext& context, bool) const override {
    writer->WriteStartElement(GetElementName(), m_namespace);
    CXmlObjectBase::ToXml_Int(content, writer, false, namespaceUri, context, false);
    writer->WriteText(m_text);
    writer->WriteEndElement();
  }
  CXmlElement* FromXml_Int(CXmlElement* element, CXmlElement* current,
                           const CXmlSerializationContext& context, bool) override {
    SetElementName(element->GetLocalName().c_str());
    m_namespace = element->GetNamespaceURI();
    m_text = element->GetText();
    return CXmlObjectBase::FromXml_Int(content, element, current, context);
  }

 private:
  String m_namespace;
  String m_text;
};

// Writes the tree the way untyped content writes itself (attributes, then
// children, then the text), without recursion.
void WriteTree(CXmlTextWriter& w, const CXmlElement* root) {
  std::vector<const CXmlElement*> open;
  auto start = [&](const CXmlElement* e) {
    w.WriteStartElement(e->GetLocalName(), e->GetNamespaceURI());
    for (const CXmlAttribute* a : e->GetAttributes())
      w.WriteAttribute(a->GetLocalName(), a->GetNamespaceURI(), a->GetValue());
    open.push_back(e);
  };
  std::vector<const CXmlElement*> next{root->GetFirstElement()};
  w.WriteStartElement(root->GetLocalName(), root->GetNamespaceURI());
  open.push_back(root);
  while (!open.empty()) {
    const CXmlElement* child = next.back();
    if (child != nullptr) {
      next.back() = child->GetNextSiblingElement();
      start(child);
      next.push_back(child->GetFirstElement());
      continue;
    }
    w.WriteText(open.back()->GetText());
    w.WriteEndElement();
    open.pop_back();
    next.pop_back();
  }
}

struct Wildcard {
  CXmlDocument document;
  CSmartPtr<CAnyHolder> holder = new CAnyHolder;
  String expected;  // what both write
  Wildcard() {
    std::string& xml = const_cast<std::string&>(vxbench::Corpus20MB().xml);
    document.LoadXmlStream(reinterpret_cast<unsigned char*>(xml.data()),
                           static_cast<uint32_t>(xml.size()));
    holder->FromXmlStream(reinterpret_cast<unsigned char*>(xml.data()),
                          static_cast<uint32_t>(xml.size()));
    CXmlTextWriter w;
    w.SetIndent(false);
    WriteTree(w, document.GetDocumentElement());
    expected = w.GetString();
  }
};

const Wildcard& WildcardData() {
  static const Wildcard data;
  return data;
}

// Each returns the size of the text it wrote.
size_t DocumentAndWriter(const Wildcard& data) {
  CXmlTextWriter w;
  w.SetIndent(false);
  WriteTree(w, data.document.GetDocumentElement());
  String text = w.GetString();
  CXmlDocument back;
  back.LoadXml(text.c_str());
  benchmark::DoNotOptimize(back.GetDocumentElement());
  return text.size();
}

size_t ElementColWriteRead(const Wildcard& data) {
  String text = data.holder->ToXml(false, false, EOLType_LF);
  CSmartPtr<CAnyHolder> back = new CAnyHolder;
  back->FromXml(text.c_str());
  benchmark::DoNotOptimize(back->content->GetCount());
  return text.size();
}

void BM_Baseline_DocumentAndWriter(benchmark::State& state) {
  const Wildcard& data = WildcardData();
  for (auto _ : state)
    if (DocumentAndWriter(data) != data.expected.size())
      state.SkipWithError("wrote another document");
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(data.expected.size() * 2));
}
BENCHMARK(BM_Baseline_DocumentAndWriter)->Unit(benchmark::kMillisecond);

void BM_ElementColWriteRead(benchmark::State& state) {
  const Wildcard& data = WildcardData();
  for (auto _ : state)
    if (ElementColWriteRead(data) != data.expected.size())
      state.SkipWithError("wrote another document");
  if (data.holder->ToXml(false, false, EOLType_LF) != data.expected)
    state.SkipWithError("untyped content wrote another document");
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(data.expected.size() * 2));
}
BENCHMARK(BM_ElementColWriteRead)->Unit(benchmark::kMillisecond);

// The same, then every element and attribute reached through the API, so
// that all of them are made as objects: what a caller pays who looks at
// every part of the content.
void BM_ElementColWriteReadVisitAll(benchmark::State& state) {
  const Wildcard& data = WildcardData();
  size_t visited = 0;
  for (auto _ : state) {
    String text = data.holder->ToXml(false, false, EOLType_LF);
    CSmartPtr<CAnyHolder> back = new CAnyHolder;
    back->FromXml(text.c_str());
    visited = 0;
    std::vector<CSmartPtr<CElementCol>> pending{back->content};
    while (!pending.empty()) {
      CSmartPtr<CElementCol> col = pending.back();
      pending.pop_back();
      for (int i = 0; i < col->GetCount(); ++i) {
        CSmartPtr<CElement> e = col->Item(i);
        visited += 1 + e->GetAttributes()->GetCount();
        pending.push_back(e->GetChildElements());
      }
    }
  }
  const vxbench::ReaderCorpus& corpus = vxbench::Corpus20MB();
  if (visited != corpus.elements - 1 + corpus.attributes)
    state.SkipWithError("did not visit every element and attribute");
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(data.expected.size() * 2));
}
BENCHMARK(BM_ElementColWriteReadVisitAll)->Unit(benchmark::kMillisecond);

// -- Interleaved: each baseline and its library step in turn -------------------------

double ThreadSeconds() {
  timespec t;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// Runs `baseline` then `library` once per iteration; `units` is what one
// step does (items, or one document), for the per-unit counters.
template <class Baseline, class Library>
void Interleave(benchmark::State& state, double units, Baseline baseline, Library library) {
  double baselineSeconds = 0, librarySeconds = 0;
  for (auto _ : state) {
    double t0 = ThreadSeconds();
    baseline();
    double t1 = ThreadSeconds();
    library();
    double t2 = ThreadSeconds();
    baselineSeconds += t1 - t0;
    librarySeconds += t2 - t1;
  }
  double total = static_cast<double>(state.iterations()) * units;
  state.counters["baseline_ns"] = baselineSeconds / total * 1e9;
  state.counters["library_ns"] = librarySeconds / total * 1e9;
  state.counters["ratio"] = librarySeconds / baselineSeconds;
}

void BM_Interleaved_PatternFacet(benchmark::State& state) {
  const Codes& codes = CodeData();
  BarePcre2 bare;
  Interleave(
      state, static_cast<double>(codes.text.size()),
      [&] { benchmark::DoNotOptimize(bare.MatchAll(codes)); },
      [&] { CheckAll(codes, CodeFacets()); });
}
BENCHMARK(BM_Interleaved_PatternFacet);

void BM_Interleaved_Ci4ColAdd(benchmark::State& state) {
  Interleave(
      state, kValues, [] { benchmark::DoNotOptimize(VectorPushBack()); },
      [] { benchmark::DoNotOptimize(Ci4ColAdd()); });
}
BENCHMARK(BM_Interleaved_Ci4ColAdd)->Unit(benchmark::kMillisecond);

void BM_Interleaved_Walk(benchmark::State& state) {
  const Walk& walk = WalkData();
  Interleave(
      state, kItems, [&] { WalkVector(walk.vector); }, [&] { WalkCollection(*walk.col); });
}
BENCHMARK(BM_Interleaved_Walk);

void BM_Interleaved_Wildcard(benchmark::State& state) {
  const Wildcard& data = WildcardData();
  Interleave(
      state, 1, [&] { benchmark::DoNotOptimize(DocumentAndWriter(data)); },
      [&] { benchmark::DoNotOptimize(ElementColWriteRead(data)); });
}
BENCHMARK(BM_Interleaved_Wildcard)->Unit(benchmark::kMillisecond);

}  // namespace
