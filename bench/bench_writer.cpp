// bench/bench_writer.cpp: CXmlTextWriter against two baselines on one
// document of 200,000 records (three attributes each, one of them in a second
// namespace, text that needs escaping, indentation on):
//   Baseline_AppendPieces  the already-escaped final text appended piece by
//                          piece to a std::u16string (the cost of the output
//                          alone);
//   TextWriter             the same document through CXmlTextWriter, ending
//                          with GetString();
//   Libxml2_TextWriter     libxml2's xmlTextWriter writing the same calls to
//                          memory (UTF-8).
// All three report the UTF-16 size of the document as bytes processed, so
// the rates compare time per document.
#include <benchmark/benchmark.h>
#include <libxml/xmlwriter.h>

#include <random>
#include <string>
#include <vector>

#include "vxbind/platform/Utf16.h"
#include "vxbind/writers/XmlTextWriter.h"

using namespace VxVevAva5;

namespace {

constexpr int kRecords = 200000;

struct Record {
  String id, code, kind, text;              // raw values, for the writers
  std::string id8, code8, kind8, text8;     // the same in UTF-8, for libxml2
  std::u16string kindEscaped, textEscaped;  // escaped, for the baseline
};

std::u16string ToU16(const String& s) { return std::u16string(s.begin(), s.end()); }

std::u16string Escape(const String& s) {
  std::u16string out;
  for (unsigned short c : s) {
    switch (c) {
      case '&':
        out += u"&amp;";
        break;
      case '<':
        out += u"&lt;";
        break;
      case '>':
        out += u"&gt;";
        break;
      case '"':
        out += u"&quot;";
        break;
      default:
        out += static_cast<char16_t>(c);
    }
  }
  return out;
}

struct Corpus {
  std::vector<Record> records;
  std::u16string expected;  // the whole document
  String orders = Utf16::FromUtf8("orders"), record = Utf16::FromUtf8("record");
  String idName = Utf16::FromUtf8("id"), codeName = Utf16::FromUtf8("code");
  String kindName = Utf16::FromUtf8("kind"), none;
  String ordersNs = Utf16::FromUtf8("urn:example:orders");
  String partsNs = Utf16::FromUtf8("urn:example:parts"), partsPrefix = Utf16::FromUtf8("p");

  Corpus() {
    static const char* const kKinds[] = {"standard", "rush & gift", "\"fragile\"", "<bulk>"};
    static const char* const kWords[] = {"bolts", "nuts", "washers", "gears", "springs", "pins"};
    std::mt19937 rng(42);
    expected =
        u"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        u"<orders xmlns=\"urn:example:orders\" xmlns:p=\"urn:example:parts\">\n";
    records.resize(kRecords);
    for (int i = 0; i < kRecords; ++i) {
      Record& r = records[i];
      r.id8 = std::to_string(i);
      r.code8 = "P-" + std::to_string(rng() % 100000);
      r.kind8 = kKinds[rng() % 4];
      r.text8 = std::to_string(rng() % 50) + " " + kWords[rng() % 6] + " < " +
                std::to_string(rng() % 1000) + " & \"" + kWords[rng() % 6] + "\" > none";
      r.id = Utf16::FromUtf8(r.id8);
      r.code = Utf16::FromUtf8(r.code8);
      r.kind = Utf16::FromUtf8(r.kind8);
      r.text = Utf16::FromUtf8(r.text8);
      r.kindEscaped = Escape(r.kind);
      r.textEscaped = Escape(r.text);
      expected += u"\t<record id=\"" + ToU16(r.id) + u"\" p:code=\"" + ToU16(r.code) +
                  u"\" kind=\"" + r.kindEscaped + u"\">" + r.textEscaped + u"</record>\n";
    }
    expected += u"</orders>\n";
  }
};

const Corpus& Data() {
  static const Corpus corpus;
  return corpus;
}

int64_t DocumentBytes() { return static_cast<int64_t>(Data().expected.size() * 2); }

String WriteWithTextWriter(const Corpus& c) {
  CXmlTextWriter w;
  w.SetIndent(true);
  w.SetEOLType(EOLType_LF);
  w.WriteStartDocument(XmlEncoding_UTF8);
  w.SetDefaultNamespace(c.ordersNs);
  w.AddNamespace(c.partsPrefix, c.partsNs);
  w.WriteStartElement(c.orders, c.ordersNs);
  for (const Record& r : c.records) {
    w.WriteStartElement(c.record, c.ordersNs);
    w.WriteAttribute(c.idName, c.none, r.id);
    w.WriteAttribute(c.codeName, c.partsNs, r.code);
    w.WriteAttribute(c.kindName, c.none, r.kind);
    w.WriteText(r.text);
    w.WriteEndElement();
  }
  w.WriteEndElement();
  w.WriteEndDocument();
  return w.GetString();
}

std::u16string AppendPieces(const Corpus& c) {
  std::u16string out;
  out += u"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  out += u"<orders xmlns=\"urn:example:orders\" xmlns:p=\"urn:example:parts\">\n";
  for (const Record& r : c.records) {
    out += u"\t<record id=\"";
    out.append(reinterpret_cast<const char16_t*>(r.id.data()), r.id.size());
    out += u"\" p:code=\"";
    out.append(reinterpret_cast<const char16_t*>(r.code.data()), r.code.size());
    out += u"\" kind=\"";
    out += r.kindEscaped;
    out += u"\">";
    out += r.textEscaped;
    out += u"</record>\n";
  }
  out += u"</orders>\n";
  return out;
}

std::string WriteWithLibxml2(const Corpus& c) {
  xmlBufferPtr buffer = xmlBufferCreate();
  xmlTextWriterPtr w = xmlNewTextWriterMemory(buffer, 0);
  const auto X = [](const std::string& s) { return reinterpret_cast<const xmlChar*>(s.c_str()); };
  const auto L = [](const char* s) { return reinterpret_cast<const xmlChar*>(s); };
  xmlTextWriterSetIndent(w, 1);
  xmlTextWriterSetIndentString(w, L("\t"));
  xmlTextWriterStartDocument(w, nullptr, "UTF-8", nullptr);
  xmlTextWriterStartElement(w, L("orders"));
  xmlTextWriterWriteAttribute(w, L("xmlns"), L("urn:example:orders"));
  xmlTextWriterWriteAttribute(w, L("xmlns:p"), L("urn:example:parts"));
  for (const Record& r : c.records) {
    xmlTextWriterStartElement(w, L("record"));
    xmlTextWriterWriteAttribute(w, L("id"), X(r.id8));
    xmlTextWriterWriteAttributeNS(w, L("p"), L("code"), nullptr, X(r.code8));
    xmlTextWriterWriteAttribute(w, L("kind"), X(r.kind8));
    xmlTextWriterWriteString(w, X(r.text8));
    xmlTextWriterEndElement(w);
  }
  xmlTextWriterEndElement(w);
  xmlTextWriterEndDocument(w);
  xmlFreeTextWriter(w);
  std::string out(reinterpret_cast<const char*>(xmlBufferContent(buffer)),
                  static_cast<size_t>(xmlBufferLength(buffer)));
  xmlBufferFree(buffer);
  return out;
}

void BM_Baseline_AppendPieces(benchmark::State& state) {
  const Corpus& c = Data();
  if (AppendPieces(c) != c.expected) {
    state.SkipWithError("baseline output differs from the expected text");
    return;
  }
  for (auto _ : state) {
    std::u16string out = AppendPieces(c);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(state.iterations() * DocumentBytes());
}
BENCHMARK(BM_Baseline_AppendPieces)->Unit(benchmark::kMillisecond);

void BM_TextWriter(benchmark::State& state) {
  const Corpus& c = Data();
  String once = WriteWithTextWriter(c);
  if (once.size() != c.expected.size() ||
      !std::equal(once.begin(), once.end(), c.expected.begin())) {
    state.SkipWithError("text writer output differs from the expected text");
    return;
  }
  for (auto _ : state) {
    String out = WriteWithTextWriter(c);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(state.iterations() * DocumentBytes());
}
BENCHMARK(BM_TextWriter)->Unit(benchmark::kMillisecond);

void BM_Libxml2_TextWriter(benchmark::State& state) {
  const Corpus& c = Data();
  // libxml2 escapes the same characters here, so its UTF-8 output is the
  // expected document in UTF-8.
  String expected(c.expected.begin(), c.expected.end());
  if (WriteWithLibxml2(c) != Utf16::ToUtf8(expected)) {
    state.SkipWithError("libxml2 output differs from the expected text");
    return;
  }
  for (auto _ : state) {
    std::string out = WriteWithLibxml2(c);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(state.iterations() * DocumentBytes());
}
BENCHMARK(BM_Libxml2_TextWriter)->Unit(benchmark::kMillisecond);

}  // namespace
