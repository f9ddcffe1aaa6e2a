// A data document for the reader benchmarks, generated from a fixed seed so
// that every run and every program parses the same bytes: orders with
// attributes in two namespaces, short texts, some non-ASCII names and a few
// escaped characters.
#ifndef VXBIND_BENCH_READERCORPUS_H
#define VXBIND_BENCH_READERCORPUS_H

#include <cstddef>
#include <cstdint>
#include <random>
#include <string>

namespace vxbench {

struct ReaderCorpus {
  std::string xml;
  size_t elements = 0;    // elements in the document
  size_t attributes = 0;  // attributes, namespace declarations excluded
};

inline ReaderCorpus MakeReaderCorpus(uint32_t seed, size_t targetBytes) {
  static const char* const kNames[] = {"Anna M\xC3\xBCller", "S\xC3\xB8ren Kierkegaard",
                                       "Jos\xC3\xA9 Garc\xC3\xAD" "a", "\xC5\x81ukasz Nowak",
                                       "John Smith", "Mary Jones", "\xE5\xB1\xB1\xE7\x94\xB0 "
                                       "\xE5\xA4\xAA\xE9\x83\x8E", "Chlo\xC3\xAB Dubois"};
  static const char* const kProducts[] = {"Widget", "Gadget &amp; case", "Sprocket",
                                          "Caf\xC3\xA9 beans", "Cable 2m", "Lamp",
                                          "Bolt M8", "Paper A4"};
  static const char* const kStatus[] = {"open", "shipped", "closed", "held"};
  std::mt19937 rng(seed);
  auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
  ReaderCorpus c;
  c.xml.reserve(targetBytes + 4096);
  c.xml +=
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<o:orders xmlns:o=\"urn:example:orders\" xmlns:p=\"urn:example:parties\">\n";
  c.elements = 1;
  for (int id = 1; c.xml.size() < targetBytes; ++id) {
    c.xml += "  <o:order id=\"" + std::to_string(id) + "\" date=\"2024-" +
             std::to_string(1 + pick(12)) + "-" + std::to_string(1 + pick(28)) +
             "\" status=\"" + kStatus[pick(4)] + "\">\n";
    c.xml += "    <p:customer p:ref=\"C" + std::to_string(10000 + pick(90000)) + "\">" +
             kNames[pick(8)] + "</p:customer>\n";
    c.elements += 2;
    c.attributes += 4;
    int lines = 1 + pick(5);
    for (int l = 0; l < lines; ++l) {
      c.xml += "    <o:line sku=\"SKU-" + std::to_string(1000 + pick(9000)) + "\" qty=\"" +
               std::to_string(1 + pick(20)) + "\" price=\"" + std::to_string(pick(500)) + "." +
               std::to_string(10 + pick(90)) + "\">" + kProducts[pick(8)] + "</o:line>\n";
      ++c.elements;
      c.attributes += 3;
    }
    c.xml += "    <o:total>" + std::to_string(pick(10000)) + ".00</o:total>\n  </o:order>\n";
    ++c.elements;
  }
  c.xml += "</o:orders>\n";
  return c;
}

// The 20 MB document every reader benchmark uses.
inline const ReaderCorpus& Corpus20MB() {
  static const ReaderCorpus corpus = MakeReaderCorpus(42, 20u << 20);
  return corpus;
}

}  // namespace vxbench

#endif  // VXBIND_BENCH_READERCORPUS_H
