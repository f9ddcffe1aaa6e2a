// bench/bench_fastinfoset.cpp: Fast Infoset against UTF-8 text on the 20 MB
// data document of the reader benchmarks (ReaderCorpus.h), as one bindable
// object holding its elements, attributes and texts:
//   Write_Text_*          baseline: ToXmlStream, UTF-8, with and without
//                         indentation
//   Write_FastInfoset     ToFastInfosetStream
//   Read_Text_Original    baseline: CXmlDocument loading the 20 MB text
//   Read_Text_Written     baseline: loading ToXmlStream's UTF-8 (no indent)
//   Read_FastInfoset      loading ToFastInfosetStream's output
// Each reports the size of what it writes or reads ("bytes"); every output
// is read back and checked once before timing.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "ReaderCorpus.h"
#include "vxbind/base/XmlObjectBase.h"
#include "vxbind/document/XmlDocument.h"
#include "vxbind/platform/Utf16.h"
#include "vxbind/values/BinaryData.h"
#include "vxbind/writers/XmlWriter.h"

using namespace VxVevAva5;

namespace {

struct Node {
  size_t parent;  // the root's is 0, its own index
  String ns, name, text;
  std::vector<String> attributes;  // namespace, local name, value, ...
};

// The data document as an object: its tree, whitespace between elements
// left out (data, not layout), written without recursion.
class CDataDocument : public CXmlObjectBase {
 public:
  CXmlObjectBase* GetBase() override { return this; }
  String GetNamespace() const override { return String(); }
  std::vector<Node> nodes;
  std::vector<std::pair<String, String>> aliases;  // prefix, URI

 protected:
  String GetTargetNamespace() const override { return nodes[0].ns; }
  void ToXml_Int(CXmlWriter* writer, bool, const unsigned short*, const CXmlSerializationContext&,
                 bool) const override {
    for (const auto& alias : aliases) writer->AddNamespace(alias.first, alias.second);
    std::vector<size_t> open;
    for (size_t i = 0; i < nodes.size(); ++i) {
      const Node& n = nodes[i];
      for (; !open.empty() && open.back() != n.parent; open.pop_back()) writer->WriteEndElement();
      writer->WriteStartElement(n.name, n.ns);
      for (size_t a = 0; a < n.attributes.size(); a += 3)
        writer->WriteAttribute(n.attributes[a + 1], n.attributes[a], n.attributes[a + 2]);
      writer->WriteText(n.text);
      open.push_back(i);
    }
    for (; !open.empty(); open.pop_back()) writer->WriteEndElement();
  }
  CXmlElement* FromXml_Int(CXmlElement*, CXmlElement*, const CXmlSerializationContext&,
                           bool) override {
    return nullptr;
  }
};

bool IsSpace(const String& s) {
  for (unsigned short c : s)
    if (c != ' ' && c != '\n' && c != '\t' && c != '\r') return false;
  return true;
}

struct Data {
  CDataDocument object;
  std::string text;          // the original 20 MB text
  CBinaryData written;       // ToXmlStream, UTF-8, no indentation
  CBinaryData fastInfoset;   // ToFastInfosetStream
  size_t elements = 0, attributes = 0;

  Data() {
    text = vxbench::Corpus20MB().xml;
    elements = vxbench::Corpus20MB().elements;
    attributes = vxbench::Corpus20MB().attributes;
    CXmlDocument doc;
    doc.LoadXmlStream(reinterpret_cast<unsigned char*>(text.data()),
                      static_cast<uint32_t>(text.size()));
    std::vector<std::pair<const CXmlElement*, size_t>> stack{{doc.GetDocumentElement(), 0}};
    while (!stack.empty()) {
      auto [e, parent] = stack.back();
      stack.pop_back();
      Node n{parent, e->GetNamespaceURI(), e->GetLocalName(), e->GetText(), {}};
      if (IsSpace(n.text)) n.text.clear();
      for (const CXmlAttribute* a : e->GetAttributes()) {
        n.attributes.push_back(a->GetNamespaceURI());
        n.attributes.push_back(a->GetLocalName());
        n.attributes.push_back(a->GetValue());
      }
      object.nodes.push_back(std::move(n));
      size_t first = stack.size();
      for (const CXmlElement* c = e->GetFirstElement(); c; c = c->GetNextSiblingElement())
        stack.push_back({c, object.nodes.size() - 1});
      std::reverse(stack.begin() + static_cast<std::ptrdiff_t>(first), stack.end());
    }
    // The prefixes of the original text, given before the root.
    object.aliases = {{Utf16::FromUtf8("o"), Utf16::FromUtf8("urn:example:orders")},
                      {Utf16::FromUtf8("p"), Utf16::FromUtf8("urn:example:parties")}};
    const CXmlSerializationContext& context = CXmlSerializationContext::GetDefaultContext();
    written = object.ToXmlStream(true, false, XmlEncoding_UTF8, EOLType_LF, context);
    fastInfoset = object.ToFastInfosetStream(FInfoDecl_None, context);
  }
};

Data& TheData() {
  static Data data;
  return data;
}

// Counts the tree without recursion.
bool TreeMatches(const CXmlDocument& doc) {
  size_t elements = 0, attributes = 0;
  std::vector<const CXmlElement*> stack{doc.GetDocumentElement()};
  while (!stack.empty()) {
    const CXmlElement* e = stack.back();
    stack.pop_back();
    ++elements;
    attributes += e->GetAttributes().size();
    for (const CXmlElement* c = e->GetFirstElement(); c; c = c->GetNextSiblingElement())
      stack.push_back(c);
  }
  return elements == TheData().elements && attributes == TheData().attributes;
}

bool ReadsBack(const unsigned char* bytes, size_t length) {
  CXmlDocument doc;
  doc.LoadXmlStream(const_cast<unsigned char*>(bytes), static_cast<uint32_t>(length));
  return TreeMatches(doc);
}

void Report(benchmark::State& state, size_t bytes) {
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes));
  state.counters["bytes"] = static_cast<double>(bytes);
}

void BM_Write_Text(benchmark::State& state, bool indent) {
  Data& d = TheData();
  const CXmlSerializationContext& context = CXmlSerializationContext::GetDefaultContext();
  CBinaryData once = d.object.ToXmlStream(true, indent, XmlEncoding_UTF8, EOLType_LF, context);
  if (!ReadsBack(once.GetData(), once.GetLength())) {
    state.SkipWithError("the text does not read back into the document");
    return;
  }
  for (auto _ : state) {
    CBinaryData out = d.object.ToXmlStream(true, indent, XmlEncoding_UTF8, EOLType_LF, context);
    benchmark::DoNotOptimize(out.GetData());
  }
  Report(state, once.GetLength());
}
BENCHMARK_CAPTURE(BM_Write_Text, Indented, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Write_Text, NotIndented, false)->Unit(benchmark::kMillisecond);

void BM_Write_FastInfoset(benchmark::State& state) {
  Data& d = TheData();
  const CXmlSerializationContext& context = CXmlSerializationContext::GetDefaultContext();
  CBinaryData once = d.object.ToFastInfosetStream(FInfoDecl_None, context);
  if (!ReadsBack(once.GetData(), once.GetLength())) {
    state.SkipWithError("the Fast Infoset document does not read back into the document");
    return;
  }
  for (auto _ : state) {
    CBinaryData out = d.object.ToFastInfosetStream(FInfoDecl_None, context);
    benchmark::DoNotOptimize(out.GetData());
  }
  Report(state, once.GetLength());
}
BENCHMARK(BM_Write_FastInfoset)->Unit(benchmark::kMillisecond);

void BM_Read(benchmark::State& state, const unsigned char* bytes, size_t length) {
  if (!ReadsBack(bytes, length)) {
    state.SkipWithError("the input does not read into the document");
    return;
  }
  for (auto _ : state) {
    auto doc = std::make_unique<CXmlDocument>();
    doc->LoadXmlStream(const_cast<unsigned char*>(bytes), static_cast<uint32_t>(length));
    benchmark::DoNotOptimize(doc->GetDocumentElement());
    state.PauseTiming();
    doc.reset();
    state.ResumeTiming();
  }
  Report(state, length);
}

void BM_Read_Text_Original(benchmark::State& state) {
  const std::string& text = TheData().text;
  BM_Read(state, reinterpret_cast<const unsigned char*>(text.data()), text.size());
}
BENCHMARK(BM_Read_Text_Original)->Unit(benchmark::kMillisecond);

void BM_Read_Text_Written(benchmark::State& state) {
  const CBinaryData& d = TheData().written;
  BM_Read(state, d.GetData(), d.GetLength());
}
BENCHMARK(BM_Read_Text_Written)->Unit(benchmark::kMillisecond);

void BM_Read_FastInfoset(benchmark::State& state) {
  const CBinaryData& d = TheData().fastInfoset;
  BM_Read(state, d.GetData(), d.GetLength());
}
BENCHMARK(BM_Read_FastInfoset)->Unit(benchmark::kMillisecond);

}  // namespace
