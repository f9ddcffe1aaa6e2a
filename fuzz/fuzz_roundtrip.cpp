// The writer and the reader together: the input bytes decode, always the
// same way, into a script of writer calls (names, namespaces given before
// the root and inside elements, prefixes rebound, attributes, xsi:type,
// texts and values of any UTF-16 units). Written with the strict setting
// and read back strictly, the script's tree must come back, every
// namespace included; the writer must refuse exactly the scripts that hold
// a character XML 1.0 forbids, and only with the library's exception. The
// output cut short must be refused by a strict document. Scripts whose
// values survive the default escaping are also written without the
// setting and must read back the same.

#include <cstdint>
#include <vector>

#include "support/WriterScript.h"
#include "vxbind/base/Exceptions.h"
#include "vxbind/document/XmlDocument.h"
#include "vxbind/platform/Utf16.h"
#include "vxbind/writers/XmlTextWriter.h"

namespace {

using namespace VxVevAva5;
using vxtest::WriterCall;
using vxtest::WriterScript;

const char* const kNames[] = {"a", "item", "x-y", "n.1", "_u", "\xC3\xA9l\xC3\xA9ment",
                              "\xE5\x90\x8D", "type"};
const char* const kPrefixes[] = {"p", "q", "AA", "AB", "ns1", "\xC3\xA9"};
const char* const kUris[] = {"",      "urn:a", "urn:b", "http://example.com/\xE2\x82\xAC#x",
                             "urn:q&\"<>'", "urn:t\tab\nl\rc"};
const char kXsi[] = "http://www.w3.org/2001/XMLSchema-instance";
const char kXml[] = "http://www.w3.org/XML/1998/namespace";
constexpr int kMaxElements = 200;

String S(const char* utf8) { return Utf16::FromUtf8(utf8); }

class Decoder {
 public:
  Decoder(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}
  bool Empty() const { return m_size == 0; }
  unsigned Byte() {
    if (m_size == 0) return 0;
    --m_size;
    return *m_data++;
  }
  // Two bytes, the first one high (evaluated in this order).
  unsigned Word() {
    unsigned high = Byte();
    return high << 8 | Byte();
  }
  unsigned Pick(unsigned n) { return Byte() % n; }
  String Name() { return S(kNames[Pick(8)]); }
  String Prefix() { return S(kPrefixes[Pick(6)]); }
  String Uri() { return S(kUris[Pick(6)]); }
  String AttributeUri() {
    unsigned k = Pick(8);
    return k == 6 ? S(kXsi) : k == 7 ? S(kXml) : S(kUris[k]);
  }
  // Up to 15 units: printable ASCII, line ends and "]]>", or any unit or
  // code point the bytes spell (forbidden ones included).
  String Text() {
    String s;
    for (unsigned n = Pick(16); n > 0 && !Empty(); --n) {
      unsigned k = Byte();
      if (k < 0x60) {
        s.push_back(static_cast<unsigned short>(0x20 + k));
      } else if (k < 0x70) {
        static const char* const kPieces[] = {"\t", "\n", "\r", "\r\n", "]]>", "  "};
        s += S(kPieces[k % 6]);
      } else if (k < 0xA0) {
        unsigned cp = 0x10000 + ((Word() << 4 | (k & 0xF)) % 0x100000);
        s.push_back(static_cast<unsigned short>(0xD800 + ((cp - 0x10000) >> 10)));
        s.push_back(static_cast<unsigned short>(0xDC00 + ((cp - 0x10000) & 0x3FF)));
      } else {
        s.push_back(static_cast<unsigned short>(Word()));
      }
    }
    return s;
  }

 private:
  const uint8_t* m_data;
  size_t m_size;
};

// The next call made of a kind and up to three decoded arguments, decoded
// in this order (braces sequence them; function arguments would not be).
void Add(WriterScript& s, WriterCall call) { s.push_back(std::move(call)); }

// A well-formed sequence of calls: one root, attributes only while the
// start tag is open and never twice with one name, comments between
// children, everything closed at the end.
WriterScript Decode(Decoder& d) {
  WriterScript s;
  while (!d.Empty() && d.Pick(3) == 0) {
    if (d.Pick(2) == 0)
      Add(s, {WriterCall::kAddNamespace, d.Prefix(), d.Uri()});
    else
      Add(s, {WriterCall::kSetDefault, d.Uri()});
  }
  std::vector<std::vector<std::pair<String, String>>> used;  // per open element
  int elements = 0;
  bool tagOpen = false;
  do {
    unsigned op = used.empty() ? 0 : d.Pick(10);
    if (d.Empty() && !used.empty()) op = 9;
    switch (op) {
      case 0:
        if (elements == kMaxElements) break;
        Add(s, {WriterCall::kStart, d.Name(), d.Uri()});
        used.emplace_back();
        ++elements;
        tagOpen = true;
        break;
      case 1:
      case 2: {
        if (!tagOpen) break;
        WriterCall a{WriterCall::kAttribute, d.Name(), d.AttributeUri(), d.Text()};
        bool clash = false;
        for (const auto& u : used.back()) clash = clash || (u.first == a.a && u.second == a.b);
        clash = clash || (a.a == S("type") && a.b == S(kXsi));
        if (clash) break;
        used.back().emplace_back(a.a, a.b);
        s.push_back(std::move(a));
        break;
      }
      case 3: {
        if (!tagOpen) break;
        bool typed = false;
        for (const auto& u : used.back())
          typed = typed || (u.first == S("type") && u.second == S(kXsi));
        if (typed) break;
        used.back().emplace_back(S("type"), S(kXsi));
        Add(s, {WriterCall::kXsiType, d.Uri(), d.Name()});
        break;
      }
      case 4: {
        String text = d.Text();
        tagOpen = tagOpen && text.empty();
        s.emplace_back(WriterCall::kText, std::move(text));
        break;
      }
      case 5: {
        if (tagOpen) break;  // a comment does not go into a start tag
        String text = d.Text();
        for (unsigned short& c : text)
          if (c == '-') c = '+';
        s.emplace_back(WriterCall::kComment, std::move(text));
        break;
      }
      case 6:
        Add(s, {WriterCall::kAddNamespace, d.Prefix(), d.Uri()});
        break;
      case 7:
        Add(s, {WriterCall::kSetDefault, d.Uri()});
        break;
      default:
        s.emplace_back(WriterCall::kEnd);
        used.pop_back();
        tagOpen = false;
    }
  } while (!used.empty());
  return s;
}

bool Forbidden(const String& s) {
  for (size_t i = 0; i < s.size(); ++i) {
    unsigned short c = s[i];
    if (c < 0x20 && c != 0x09 && c != 0x0A && c != 0x0D) return true;
    if (c == 0xFFFE || c == 0xFFFF || (c >= 0xDC00 && c <= 0xDFFF)) return true;
    if (c >= 0xD800 && c <= 0xDBFF) {
      if (i + 1 == s.size() || s[i + 1] < 0xDC00 || s[i + 1] > 0xDFFF) return true;
      ++i;
    }
  }
  return false;
}

bool HasLineControls(const String& s) {
  for (unsigned short c : s)
    if (c == '\t' || c == '\n' || c == '\r') return true;
  return false;
}

String Write(const WriterScript& script, bool strict, bool indent, EOLType eol,
             bool declaration) {
  CXmlTextWriter w;
  w.SetStrictXml(strict);
  w.SetIndent(indent);
  w.SetEOLType(eol);
  if (declaration) w.WriteStartDocument(XmlEncoding_None);
  vxtest::Replay(script, w);
  if (declaration) w.WriteEndDocument();
  return w.GetString();
}

// Reads `xml` strictly and compares it with the script's tree.
void CheckReadsBack(const WriterScript& script, const String& xml, bool texts) {
  CXmlDocument document;
  document.SetStrictXml(true);
  try {
    document.LoadXml(xml.c_str());
  } catch (const CVxException&) {
    __builtin_trap();  // the writer wrote what cannot be read
  }
  vxtest::Tree read = vxtest::ReadTree(document.GetDocumentElement());
  if (!vxtest::Compare(vxtest::ExpectedTree(script), read, texts).empty()) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Decoder d(data, size);
  unsigned flags = d.Byte();
  size_t cut = d.Word();
  WriterScript script = Decode(d);
  bool indent = (flags & 1) != 0;
  EOLType eol = (flags & 2) != 0 ? EOLType_CRLF : EOLType_LF;
  bool declaration = (flags & 4) != 0;

  // Namespace URIs and attribute values with TAB, LF or CR survive only
  // strictly.
  bool forbidden = false, laxSafe = true;
  for (const WriterCall& c : script) {
    switch (c.kind) {
      case WriterCall::kText:
      case WriterCall::kComment:
        forbidden = forbidden || Forbidden(c.a);
        break;
      case WriterCall::kAttribute:
        forbidden = forbidden || Forbidden(c.c);
        laxSafe = laxSafe && !HasLineControls(c.b) && !HasLineControls(c.c);
        break;
      case WriterCall::kAddNamespace:
      case WriterCall::kStart:
        laxSafe = laxSafe && !HasLineControls(c.b);
        break;
      case WriterCall::kSetDefault:
      case WriterCall::kXsiType:
        laxSafe = laxSafe && !HasLineControls(c.a);
        break;
      case WriterCall::kEnd:
        break;
    }
  }

  try {
    String xml = Write(script, true, indent, eol, declaration);
    if (forbidden) __builtin_trap();  // should have been refused
    CheckReadsBack(script, xml, !indent);
    // Cut before the root's end: a strict document refuses it.
    size_t end = xml.rfind('>');
    if (end != String::npos && end > 0) {
      String part = xml.substr(0, cut % end);
      CXmlDocument document;
      document.SetStrictXml(true);
      bool refused = false;
      try {
        document.LoadXml(part.c_str());
      } catch (const CVxException&) {
        refused = true;
      }
      if (!refused) __builtin_trap();
    }
  } catch (const CVxException&) {
    if (!forbidden) __builtin_trap();  // refused a script XML can hold
  } catch (...) {
    __builtin_trap();  // not the library's exception
  }

  if (laxSafe && !forbidden) {
    try {
      CheckReadsBack(script, Write(script, false, indent, eol, declaration), !indent);
    } catch (...) {
      __builtin_trap();
    }
  }
  return 0;
}
