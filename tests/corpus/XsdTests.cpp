// vxbind-xsdtests SUITE CHECKS [--at-least N] [--validating-at-least N]
//                 [--valid-refused-at-most K] [--accepted-list FILE]
//
// Runs the W3C XML Schema test suite's checks that XsdTests.cmake prepared
// (CHECKS, its checks.txt; the documents under SUITE) and prints the pass
// rate per construct, the failures by reason, and every failure.
//   a schema the suite holds valid:   vxbindc compiled it
//   a schema the suite holds invalid: vxbindc refused it
//   a valid document:   it reads into the schema's classes and writes back
//                       with the same infoset (values may change spelling)
//   an invalid document: reading or writing it back fails; counted only
//                       where the schema's valid documents all pass, so
//                       that a schema failing for another reason lends
//                       those refusals no credit; one accepted is reported
//                       as a facet not checked (NIST's) or as structure not
//                       checked on read (the others')
// A check of a schema that was not compiled fails. Schemas that use
// xs:redefine, and their documents, are left out and counted apart.
//
// Every document is also read a second time, into a new object, with
// validation on (CXmlSerializationContext::SetValidateOnRead), and counted
// apart from the checks above:
//   a valid document:   it reads; one refused while reading it without
//                       validation binds is a fault of the validation, and
//                       listed as such
//   an invalid document: reading refuses it (writing does not count here);
//                       counted only where its schema's valid documents all
//                       read with validation on
// The invalid documents still accepted go to FILE (--accepted-list), by
// construct, each with its schema, what reading and writing it without
// validation did, and its text in short.
//
// Exit status 1 when fewer than N checks pass (a regression; more is
// fine), when fewer invalid documents than --validating-at-least are
// refused with validation on, or when more valid documents than
// --valid-refused-at-most (0 by default) are refused with validation on
// only; 2 for a bad command line or unreadable CHECKS.
#include "XsdTests.h"

#include <vxbind/vxbind.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "roundtrip/InfosetDifference.h"

namespace {

using namespace VxVevAva5;

std::string U8(const String& text) { return Utf16::ToUtf8(text); }

// The innermost message of a failure: what went wrong, without the
// elements it happened in.
std::string Innermost(const CVxException& e) {
  std::string text = U8(e.GetFullMessage());
  while (!text.empty() && text.back() == '\n') text.pop_back();
  size_t line = text.rfind('\n');
  return line == std::string::npos ? text : text.substr(line + 1);
}

// A reason with the names and numbers taken out, for counting failures
// alike: "Invalid value [4d] for ..." -> "Invalid value [...] for ...".
std::string Kind(const std::string& reason) {
  static const std::regex bracketed("\\[[^\\]]*\\]");
  static const std::regex quoted("'[^']*'");
  static const std::regex located("[^ :]+\\.(xsd|xsdmod|imp):[0-9]+: ");
  static const std::regex path("at /[^:]*: ");
  static const std::regex attribute("(attribute [^ =]*)=[^,]*( is missing| appeared)");
  static const std::regex element("element [^ ]+ (became [^ ]+|is missing|appeared)");
  std::string kind = std::regex_replace(reason, located, "");
  kind = std::regex_replace(kind, path, "at ...: ");
  kind = std::regex_replace(kind, attribute, "$1=...$2");
  kind = std::regex_replace(kind, element, "element ... $1");
  static const std::regex became("became [^ ]+");
  kind = std::regex_replace(kind, became, "became ...");
  kind = std::regex_replace(kind, bracketed, "[...]");
  return std::regex_replace(kind, quoted, "'...'");
}

struct Tally {
  int pass = 0;
  int total = 0;
  void Add(bool passed) {
    ++total;
    if (passed) ++pass;
  }
  std::string Text() const { return std::to_string(pass) + "/" + std::to_string(total); }
};

struct Construct {
  Tally valid_schemas, invalid_schemas, valid_documents, invalid_documents;
  // With validation on: valid documents read, invalid ones refused.
  Tally valid_validating, invalid_validating;
  int left_out_schemas = 0;
  int left_out_documents = 0;
  Tally All() const {
    Tally all;
    for (const Tally* t :
         {&valid_schemas, &invalid_schemas, &valid_documents, &invalid_documents}) {
      all.pass += t->pass;
      all.total += t->total;
    }
    return all;
  }
};

struct Schema {
  std::string construct, verdict, status, files, why;
  bool valid_documents_pass = true;
  bool valid_documents_validate = true;  // all read with validation on
};

struct Document {
  std::string unit, construct, verdict, path;
};

// One document checked both ways: the round trip with default settings,
// and a second reading into a new object with validation on.
struct Outcome {
  // "" when the document reads, binds, writes back and has the same infoset
  // in the copy; otherwise what failed.
  std::string why;
  bool refused = false;            // binding or writing back refused it
  bool bound = false;              // binding (without validation) took it
  std::string validation;          // "" when reading with validation on took it
  bool validationRefused = false;  // a CVxException from that reading
};

// Where a failure was, as " (line 3, column 7)", or "" when unknown.
std::string Position(const CVxException& e) {
  if (e.GetLineNumber() == 0) return std::string();
  return " (line " + std::to_string(e.GetLineNumber()) + ", column " +
         std::to_string(e.GetColumnNumber()) + ")";
}

void RoundTrip(const CXmlElement* root, vxbind_xsdtests::CreateRoot create, Outcome& out) {
  CSmartPtr<CXmlObjectBase> object = create(const_cast<CXmlElement*>(root));
  if (!object) {
    out.why = "no class for the document element " + U8(root->GetLocalName());
    return;
  }
  CXmlSerializationContext context;
  CBinaryData written;
  try {
    object->FromXmlElement(root, context);
  } catch (const CVxException& e) {
    out.refused = true;
    out.why = "binding failed: " + Innermost(e);
    return;
  }
  out.bound = true;
  try {
    written = object->ToXmlStream(true, true, XmlEncoding_UTF8, EOLType_LF, context);
  } catch (const CVxException& e) {
    out.refused = true;
    out.why = "writing back failed: " + Innermost(e);
    return;
  }
  CXmlDocument copy;
  try {
    copy.LoadXmlStream(const_cast<unsigned char*>(written.GetData()), written.GetLength());
  } catch (const CVxException& e) {
    out.why = "the copy is no document: " + Innermost(e);
    return;
  }
  std::string difference = vxbind_tools::InfosetDifference(root, copy.GetDocumentElement(), true);
  if (!difference.empty()) out.why = "the copy differs at " + difference;
}

void ReadValidating(const CXmlElement* root, vxbind_xsdtests::CreateRoot create, Outcome& out) {
  CSmartPtr<CXmlObjectBase> object = create(const_cast<CXmlElement*>(root));
  if (!object) {
    out.validation = "no class for the document element " + U8(root->GetLocalName());
    return;
  }
  CXmlSerializationContext context;
  context.SetValidateOnRead(true);
  try {
    object->FromXmlElement(root, context);
  } catch (const CVxException& e) {
    out.validationRefused = true;
    out.validation = Innermost(e) + Position(e);
  } catch (const std::exception& e) {
    out.validation = std::string("failed with a std::exception: ") + e.what();
  }
}

Outcome Check(const std::string& path, vxbind_xsdtests::CreateRoot create) {
  Outcome out;
  CXmlDocument document;
  try {
    document.Load(Utf16::FromUtf8(path).c_str());
  } catch (const CVxException& e) {
    out.why = out.validation = "cannot be read: " + Innermost(e);
    return out;
  }
  const CXmlElement* root = document.GetDocumentElement();
  try {
    RoundTrip(root, create, out);
  } catch (const std::exception& e) {
    out.why = std::string("failed with a std::exception: ") + e.what();
  } catch (const CVxException& e) {
    out.why = "failed: " + Innermost(e);
  }
  ReadValidating(root, create, out);
  return out;
}

// A document's text in short, for the list of those accepted: the XML
// declaration, comments, namespace declarations and schema location hints
// left out, white space runs as one space, at most 400 characters.
std::string Gist(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::string text;
  bool space = false;
  for (char c; text.size() < 2000 && in.get(c);) {
    if (c == '<' && (in.peek() == '?' || in.peek() == '!')) {
      // A declaration, processing instruction or comment: up to its '>'
      // (a comment's own '>' ends it early; the gist does not mind).
      while (in.get(c) && c != '>') {
      }
      continue;
    }
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
      space = !text.empty();
      continue;
    }
    if (space) text += ' ';
    space = false;
    text += c;
  }
  // On 2,000 characters at most: std::regex recurses with the length.
  static const std::regex hints(
      " (xmlns(:[-.\\w]+)?|[-.\\w]+:(schemaLocation|noNamespaceSchemaLocation)) ?= ?"
      "(\"[^\"]*\"|'[^']*')");
  text = std::regex_replace(text, hints, "");
  if (text.size() > 400) text = text.substr(0, 400) + " ...";
  return text;
}

std::vector<std::string> Fields(const std::string& line) {
  std::vector<std::string> fields;
  std::stringstream in(line);
  std::string field;
  while (std::getline(in, field, '\t')) fields.push_back(field);
  if (!line.empty() && line.back() == '\t') fields.emplace_back();
  return fields;
}

std::string Percent(const Tally& t) {
  char text[16];
  std::snprintf(text, sizeof text, "%5.1f %%", t.total ? 100.0 * t.pass / t.total : 100.0);
  return text;
}

// A document accepted with validation on, for the list.
struct Accepted {
  std::string path, schemas, without;
};

// The invalid documents still accepted with validation on, by construct.
bool WriteAcceptedList(const std::string& file, const std::string& suite,
                       const std::map<std::string, Construct>& constructs,
                       const std::map<std::string, std::vector<Accepted>>& accepted) {
  std::ofstream out(file, std::ios::trunc);
  out << "Invalid documents of the W3C XML Schema test suite that read without an error\n"
         "with validation on, by construct: each with its schemas, what reading and\n"
         "writing it back without validation did, and its text in short.\n";
  for (const auto& [construct, documents] : accepted) {
    const Tally& t = constructs.at(construct).invalid_validating;
    out << "\n## " << construct << ": " << documents.size() << " accepted, " << t.pass << " of "
        << t.total << " refused\n";
    for (const Accepted& a : documents) {
      out << "\n"
          << a.path << "\n  schema: " << a.schemas << "\n  without validation: " << a.without
          << "\n  text: " << Gist(suite + "/" + a.path) << "\n";
    }
  }
  out.close();
  return static_cast<bool>(out);
}

struct Arguments {
  std::string suite, checks, acceptedList;
  int atLeast = 0;
  int validatingAtLeast = 0;
  int validRefusedAtMost = 0;
};

bool ParseArguments(int argc, char** argv, Arguments& a) {
  if (argc < 3) return false;
  a.suite = argv[1];
  a.checks = argv[2];
  for (int i = 3; i < argc; i += 2) {
    if (i + 1 >= argc) return false;
    const std::string option = argv[i];
    const char* value = argv[i + 1];
    if (option == "--accepted-list") {
      a.acceptedList = value;
      continue;
    }
    char* end = nullptr;
    const long number = std::strtol(value, &end, 10);
    if (end == value || *end != '\0' || number < 0) return false;
    if (option == "--at-least") {
      a.atLeast = static_cast<int>(number);
    } else if (option == "--validating-at-least") {
      a.validatingAtLeast = static_cast<int>(number);
    } else if (option == "--valid-refused-at-most") {
      a.validRefusedAtMost = static_cast<int>(number);
    } else {
      return false;
    }
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  Arguments args;
  if (!ParseArguments(argc, argv, args)) {
    std::fprintf(stderr,
                 "Usage: %s SUITE CHECKS [--at-least N] [--validating-at-least N]\n"
                 "       [--valid-refused-at-most K] [--accepted-list FILE]\n",
                 argv[0]);
    return 2;
  }
  const std::string& suite = args.suite;
  std::ifstream in(args.checks);
  if (!in) {
    std::fprintf(stderr, "%s: cannot read %s\n", argv[0], args.checks.c_str());
    return 2;
  }
  std::map<std::string, Schema> schemas;
  std::vector<std::string> order;
  std::vector<Document> documents;
  for (std::string line; std::getline(in, line);) {
    std::vector<std::string> f = Fields(line);
    if (f.size() == 7 && f[0] == "schema") {
      schemas[f[1]] = Schema{f[2], f[3], f[4], f[5], f[6]};
      order.push_back(f[1]);
    } else if (f.size() == 5 && f[0] == "document") {
      documents.push_back(Document{f[1], f[2], f[3], f[4]});
    } else {
      std::fprintf(stderr, "%s: bad line in %s: %s\n", argv[0], args.checks.c_str(), line.c_str());
      return 2;
    }
  }
  std::map<std::string, vxbind_xsdtests::CreateRoot> compiled;
  for (const vxbind_xsdtests::Unit* u = vxbind_xsdtests::kUnits; u->name; ++u)
    compiled[u->name] = u->create;

  std::map<std::string, Construct> constructs;
  std::vector<std::pair<std::string, std::string>> failures;  // file, reason
  std::map<std::string, std::map<std::string, int>> reasons;  // construct -> kind -> count
  auto fail = [&](const std::string& construct, const std::string& file, const std::string& why,
                  const std::string& kind = std::string()) {
    failures.emplace_back(file, why);
    ++reasons[construct][kind.empty() ? Kind(why) : kind];
  };
  // With validation on: valid documents refused (file, reason) where
  // reading without validation binds them, and where it does not either;
  // invalid documents accepted, by construct.
  std::vector<std::pair<std::string, std::string>> validRefused, validRefusedBoth;
  std::map<std::string, std::vector<Accepted>> accepted;

  for (const std::string& unit : order) {
    Schema& s = schemas[unit];
    Construct& c = constructs[s.construct];
    if (s.status == "redefine") {
      ++c.left_out_schemas;
      continue;
    }
    bool ok = s.status == "ok" && compiled.count(unit);
    if (s.verdict == "valid") {
      c.valid_schemas.Add(ok);
      if (!ok) fail(s.construct, s.files, "schema refused: " + s.why);
    } else {
      bool refused = s.status == "refused";
      c.invalid_schemas.Add(refused);
      if (!refused) fail(s.construct, s.files, s.why.empty() ? "invalid schema compiled" : s.why);
    }
  }

  // Valid documents first: an invalid document's refusal counts only where
  // its schema's valid documents all pass.
  for (int pass = 0; pass < 2; ++pass) {
    for (const Document& d : documents) {
      if ((d.verdict == "valid") != (pass == 0)) continue;
      Schema& s = schemas[d.unit];
      Construct& c = constructs[d.construct];
      if (s.status == "redefine") {
        ++c.left_out_documents;
        continue;
      }
      const bool valid = d.verdict == "valid";
      Tally& tally = valid ? c.valid_documents : c.invalid_documents;
      Tally& validating = valid ? c.valid_validating : c.invalid_validating;
      auto create = compiled.find(d.unit);
      if (create == compiled.end()) {
        tally.Add(false);
        validating.Add(false);
        fail(d.construct, d.path, "schema not compiled");
        continue;
      }
      const Outcome o = Check(suite + "/" + d.path, create->second);
      const std::string& why = o.why;
      if (valid) {
        tally.Add(why.empty());
        if (!why.empty()) {
          s.valid_documents_pass = false;
          fail(d.construct, d.path, why);
        }
        validating.Add(o.validation.empty());
        if (!o.validation.empty()) {
          s.valid_documents_validate = false;
          (o.bound ? validRefused : validRefusedBoth).emplace_back(d.path, o.validation);
        }
        continue;
      }
      if (!o.refused) {
        // NIST's documents break a facet, which binding checks today; the
        // others break the structure, which reading does not check yet.
        std::string kind = d.construct.rfind("NIST ", 0) == 0
                               ? "invalid document accepted: a facet not checked"
                               : "invalid document accepted: structure not checked on read";
        tally.Add(false);
        fail(d.construct, d.path, kind + (why.empty() ? std::string() : " (" + why + ")"), kind);
      } else if (!s.valid_documents_pass) {
        tally.Add(false);
        fail(d.construct, d.path, "refused, but so are valid documents of its schema");
      } else {
        tally.Add(true);
      }
      validating.Add(o.validationRefused && s.valid_documents_validate);
      if (!o.validationRefused) {
        std::string without = why.empty() ? "accepted, and written back the same"
                              : o.refused ? "refused: " + why
                                          : why;
        if (!o.validation.empty()) without += "; with validation: " + o.validation;
        accepted[d.construct].push_back(Accepted{d.path, s.files, without});
      }
    }
  }

  Construct total;
  for (const auto& [name, c] : constructs) {
    for (auto [from, to] : {std::pair<const Tally*, Tally*>{&c.valid_schemas, &total.valid_schemas},
                            {&c.invalid_schemas, &total.invalid_schemas},
                            {&c.valid_documents, &total.valid_documents},
                            {&c.invalid_documents, &total.invalid_documents},
                            {&c.valid_validating, &total.valid_validating},
                            {&c.invalid_validating, &total.invalid_validating}}) {
      to->pass += from->pass;
      to->total += from->total;
    }
    total.left_out_schemas += c.left_out_schemas;
    total.left_out_documents += c.left_out_documents;
  }
  Tally all = total.All();
  std::printf("W3C XML Schema test suite: %d of %d checks pass (%s)\n", all.pass, all.total,
              Percent(all).c_str());
  std::printf(
      "  valid schemas compiled %s, invalid schemas refused %s,\n"
      "  valid documents read and written back %s, invalid documents refused %s;\n"
      "  left out: %d schemas that use xs:redefine and their %d documents\n",
      total.valid_schemas.Text().c_str(), total.invalid_schemas.Text().c_str(),
      total.valid_documents.Text().c_str(), total.invalid_documents.Text().c_str(),
      total.left_out_schemas, total.left_out_documents);
  std::printf(
      "With validation on (read only):\n"
      "  invalid documents refused with validation: %d of %d (%s)\n"
      "  valid documents refused with validation: %zu",
      total.invalid_validating.pass, total.invalid_validating.total,
      Percent(total.invalid_validating).c_str(), validRefused.size());
  if (!validRefusedBoth.empty())
    std::printf(" (and %zu that reading without validation refuses too)", validRefusedBoth.size());
  std::printf("\n\n");
  std::printf("%-28s %9s %8s %9s %9s %9s %9s %9s %9s\n", "construct", "checks", "pass", "schemas",
              "bad xsd", "valid doc", "bad doc", "valid val", "bad val");
  for (const auto& [name, c] : constructs) {
    Tally a = c.All();
    std::printf("%-28s %9s %8s %9s %9s %9s %9s %9s %9s\n", name.c_str(), a.Text().c_str(),
                Percent(a).c_str(), c.valid_schemas.Text().c_str(),
                c.invalid_schemas.Text().c_str(), c.valid_documents.Text().c_str(),
                c.invalid_documents.Text().c_str(), c.valid_validating.Text().c_str(),
                c.invalid_validating.Text().c_str());
  }
  std::printf(
      "(valid val: valid documents read with validation on; bad val: invalid documents\n"
      " refused when read with validation on)\n");

  std::map<std::string, int> byKind;
  for (const auto& [construct, kinds] : reasons)
    for (const auto& [kind, count] : kinds) byKind[kind] += count;
  std::multimap<int, std::string, std::greater<int>> ranked;
  for (const auto& [kind, count] : byKind) ranked.emplace(count, kind);
  std::printf("\nFailures by reason:\n");
  for (const auto& [count, kind] : ranked) std::printf("%5d  %s\n", count, kind.c_str());
  std::printf("\nFailures by construct:\n");
  for (const auto& [construct, kinds] : reasons) {
    std::printf("  %s\n", construct.c_str());
    for (const auto& [kind, count] : kinds) std::printf("%7d  %s\n", count, kind.c_str());
  }
  std::printf("\nEvery failure:\n");
  for (const auto& [file, why] : failures) std::printf("  %s: %s\n", file.c_str(), why.c_str());

  std::printf("\nValid documents refused with validation on (a fault of the validation):\n");
  for (const auto& [file, why] : validRefused) std::printf("  %s: %s\n", file.c_str(), why.c_str());
  if (!validRefusedBoth.empty()) {
    std::printf("Valid documents refused with validation on, and without it:\n");
    for (const auto& [file, why] : validRefusedBoth)
      std::printf("  %s: %s\n", file.c_str(), why.c_str());
  }
  std::printf("\nInvalid documents accepted with validation on, by construct:\n");
  for (const auto& [construct, list] : accepted)
    std::printf("%5zu  %s\n", list.size(), construct.c_str());
  if (!args.acceptedList.empty()) {
    if (!WriteAcceptedList(args.acceptedList, suite, constructs, accepted)) {
      std::fprintf(stderr, "%s: cannot write %s\n", argv[0], args.acceptedList.c_str());
      return 2;
    }
    std::printf("(each one, with its schema and text: %s)\n", args.acceptedList.c_str());
  }

  int status = 0;
  if (all.pass < args.atLeast) {
    std::printf(
        "\nFAILED: %d checks pass, fewer than the %d expected (tests/corpus/CMakeLists.txt)\n",
        all.pass, args.atLeast);
    status = 1;
  } else if (all.pass > args.atLeast) {
    std::printf("\n%d checks pass, more than the %d expected: the expectation may rise\n", all.pass,
                args.atLeast);
  }
  const int refused = total.invalid_validating.pass;
  if (refused < args.validatingAtLeast) {
    std::printf(
        "\nFAILED: %d invalid documents refused with validation on, fewer than the %d expected "
        "(tests/corpus/CMakeLists.txt)\n",
        refused, args.validatingAtLeast);
    status = 1;
  } else if (refused > args.validatingAtLeast) {
    std::printf(
        "\n%d invalid documents refused with validation on, more than the %d expected: the "
        "expectation may rise\n",
        refused, args.validatingAtLeast);
  }
  if (static_cast<int>(validRefused.size()) > args.validRefusedAtMost) {
    std::printf(
        "\nFAILED: %zu valid documents refused with validation on, more than the %d allowed "
        "(tests/corpus/CMakeLists.txt)\n",
        validRefused.size(), args.validRefusedAtMost);
    status = 1;
  }
  return status;
}
