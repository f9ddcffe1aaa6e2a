// Test helper: random well-formed writer scripts, shared by the Fast
// Infoset round-trip and interoperability tests.
#ifndef VXBIND_TESTS_SUPPORT_RANDOMSCRIPT_H
#define VXBIND_TESTS_SUPPORT_RANDOMSCRIPT_H

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "support/WriterScript.h"
#include "vxbind/platform/Utf16.h"

namespace vxtest {

inline String Utf8(const std::string& s) { return VxVevAva5::Utf16::FromUtf8(s); }

// A random well-formed script: aliases and a default namespace before the
// root, elements in no namespace, the default one or others, attributes in
// any namespace (the XML namespace included), xsi:type, namespaces changed
// inside elements, texts and values short and long, ASCII or not.
inline WriterScript RandomScript(std::mt19937& rng, int elements) {
  const char* names[] = {"a", "item", "x-y", "n.1", "_u", "\xC3\xA9l\xC3\xA9ment", "\xE5\x90\x8D"};
  const char* uris[] = {"", "urn:a", "urn:b", "http://example.com/\xE2\x82\xAC"};
  const char* prefixes[] = {"p", "q", "AA", "ns1"};
  const char* texts[] = {"", "x", "plain text", "a & b < c > d \"q\" 'a'", "caf\xC3\xA9 \xF0\x9D\x84\x9E",
                         "line\nbreak\tand tab", "12345", "]]>", "short", "a longer text of words"};
  auto pick = [&](size_t n) { return rng() % n; };
  WriterScript s;
  for (size_t i = 0, n = pick(3); i < n; ++i)
    s.push_back({WriterCall::kAddNamespace, Utf8(prefixes[pick(4)]), Utf8(uris[1 + pick(3)])});
  if (pick(2)) s.push_back({WriterCall::kSetDefault, Utf8(uris[pick(4)])});
  int open = 0, made = 0;
  bool tagOpen = false;
  std::vector<std::vector<std::string>> used;
  do {
    unsigned op = made == 0 ? 0 : made >= elements ? 9 : pick(10);
    switch (op) {
      case 0: case 1: case 2:
        s.push_back({WriterCall::kStart, Utf8(names[pick(7)]), Utf8(uris[pick(4)])});
        ++open, ++made;
        tagOpen = true;
        used.emplace_back();
        break;
      case 3: case 4: {
        if (!tagOpen) break;
        std::string uri = pick(6) == 0 ? "http://www.w3.org/XML/1998/namespace" : uris[pick(4)];
        std::string name = names[pick(7)];
        std::string key = uri + "|" + name;
        bool clash = false;
        for (const std::string& k : used.back()) clash = clash || k == key;
        if (clash) break;
        used.back().push_back(key);
        s.push_back({WriterCall::kAttribute, Utf8(name), Utf8(uri), Utf8(texts[pick(10)])});
        break;
      }
      case 5:
        if (!tagOpen || pick(3) != 0) break;
        if (std::find(used.back().begin(), used.back().end(),
                      std::string(vxtest::Show(vxtest::XsiNamespace())) + "|type") !=
            used.back().end())
          break;
        used.back().push_back(vxtest::Show(vxtest::XsiNamespace()) + "|type");
        s.push_back({WriterCall::kXsiType, Utf8(uris[pick(4)]), Utf8("T")});
        break;
      case 6:
        if (pick(4) == 0)
          s.push_back({WriterCall::kSetDefault, Utf8(uris[pick(4)])});
        else if (pick(3) == 0)
          s.push_back({WriterCall::kAddNamespace, Utf8(prefixes[pick(4)]), Utf8(uris[1 + pick(3)])});
        break;
      case 7: case 8:
        s.push_back({WriterCall::kText, Utf8(texts[pick(10)])});
        tagOpen = false;
        break;
      default:
        s.push_back({WriterCall::kEnd});
        --open;
        tagOpen = false;
        used.pop_back();
        break;
    }
  } while (open > 0);
  return s;
}

}  // namespace vxtest

#endif  // VXBIND_TESTS_SUPPORT_RANDOMSCRIPT_H
