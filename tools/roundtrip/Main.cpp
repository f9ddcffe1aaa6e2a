// vxbind-roundtrip: reads an instance document into the classes generated
// from its schemas, writes the objects back, and optionally checks that the
// copy has the document's infoset. One program per set of generated
// classes: see vxbind_add_roundtrip() in RoundTrip.cmake.
#include <vxbind/vxbind.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>

#include "InfosetDifference.h"
#include "RoundTrip.h"

namespace {

using namespace VxVevAva5;

const char kUsage[] =
    "Usage: %s [--compare] [--validate] [--output FILE] DOCUMENT\n"
    "\n"
    "Reads DOCUMENT (XML text in UTF-8, UTF-16 or an encoding it declares,\n"
    "gzip- or zlib-compressed or not, or Fast Infoset) into a new object of the\n"
    "generated class of its document element, then writes the object back as\n"
    "indented UTF-8 XML.\n"
    "\n"
    "  --compare        check that what was written back has the infoset of\n"
    "                   DOCUMENT: element names and namespaces, attributes and\n"
    "                   text, ignoring prefixes, the schema location hints and\n"
    "                   the white space between child elements\n"
    "  --numbers-by-value\n"
    "                   with --compare: texts that are both numbers, or both\n"
    "                   times, match when their values do (1.50 and 1.5,\n"
    "                   1E+07 and 1e7, 10:00:00.0Z and 10:00:00+00:00), also\n"
    "                   with white space around them; base64 data broken\n"
    "                   into lines matches the same data in one line, and a\n"
    "                   word matches itself with white space and a line\n"
    "                   break around it\n"
    "  --validate       first read DOCUMENT into another object with validation\n"
    "                   on (CXmlSerializationContext::SetValidateOnRead): when\n"
    "                   that refuses it, stop there ('binding with validation\n"
    "                   failed'); otherwise go on as without the option, and\n"
    "                   check at the end that both objects write the same text\n"
    "  --output FILE    write the copy to FILE ('-': the standard output);\n"
    "                   without it the copy goes to the standard output, or\n"
    "                   nowhere with --compare\n"
    "  --help           this text\n"
    "\n"
    "Failures end with the input line and column of the element at fault,\n"
    "where there is one: (input line 12, column 5).\n"
    "\n"
    "Exit status: 0 when everything worked (and the copy matches); 1 when the\n"
    "document cannot be read or bound, the copy cannot be written, or it\n"
    "differs; 2 for a bad command line.\n"
    "\n"
    "Classes compiled in: %s\n";

struct Options {
  std::string document;
  std::string output;  // "" for none
  bool compare = false;
  bool numbersByValue = false;
  bool validate = false;
};

std::string U8(const String& text) { return Utf16::ToUtf8(text); }

int Usage(const char* program, const std::string& problem) {
  std::fprintf(stderr, "%s: %s (see --help)\n", program, problem.c_str());
  return 2;
}

// The library's report of a failure: the chain of messages and the input
// line and column, when there are.
std::string Describe(const CVxException& e) {
  std::string text = U8(e.GetFullMessage());
  if (e.GetLineNumber() != 0) {
    text += "\n(input line " + std::to_string(e.GetLineNumber());
    if (e.GetColumnNumber() != 0) text += ", column " + std::to_string(e.GetColumnNumber());
    text += ")";
  }
  return text;
}

int Fail(const std::string& document, const std::string& what) {
  std::fprintf(stderr, "%s: %s\n", document.c_str(), what.c_str());
  return 1;
}

bool WriteBytes(const std::string& path, const CBinaryData& bytes) {
  const char* data = reinterpret_cast<const char*>(bytes.GetData());
  if (path == "-") {
    std::cout.write(data, bytes.GetLength());
    std::cout.flush();
    return static_cast<bool>(std::cout);
  }
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(data, bytes.GetLength());
  out.close();
  return static_cast<bool>(out);
}

int RoundTrip(const Options& options) {
  const std::string& name = options.document;
  CXmlDocument document;
  try {
    document.Load(Utf16::FromUtf8(name).c_str());
  } catch (const CVxException& e) {
    return Fail(name, "cannot be read:\n" + Describe(e));
  }
  CXmlElement* root = document.GetDocumentElement();
  CSmartPtr<CXmlObjectBase> object = vxbind_tools::CreateRootObject(root);
  if (!object) {
    std::string ns = U8(root->GetNamespaceURI());
    return Fail(name, "no generated class for the document element " +
                          (ns.empty() ? "" : "{" + ns + "}") + U8(root->GetLocalName()) +
                          " (classes of " + vxbind_tools::kGeneratedFrom + ")");
  }
  // Read with validation on first: what it refuses, nothing else is
  // asked of the document.
  CSmartPtr<CXmlObjectBase> validated;
  if (options.validate) {
    validated = vxbind_tools::CreateRootObject(root);  // as `object`: not null
    CXmlSerializationContext validating;
    validating.SetValidateOnRead(true);
    try {
      validated->FromXmlElement(root, validating);
    } catch (const CVxException& e) {
      return Fail(name, "binding with validation failed:\n" + Describe(e));
    }
  }
  CXmlSerializationContext context;
  try {
    object->FromXmlElement(root, context);
  } catch (const CVxException& e) {
    return Fail(name, "binding failed:\n" + Describe(e));
  }
  CBinaryData written;
  try {
    written = object->ToXmlStream(true, true, XmlEncoding_UTF8, EOLType_LF, context);
  } catch (const CVxException& e) {
    return Fail(name, "writing the objects back failed:\n" + Describe(e));
  }
  if (!options.output.empty() && !WriteBytes(options.output, written))
    return Fail(name, "cannot write the copy to " + options.output);
  if (validated) {
    // Validation decides what is accepted, never what is bound.
    CBinaryData again;
    try {
      again = validated->ToXmlStream(true, true, XmlEncoding_UTF8, EOLType_LF, context);
    } catch (const CVxException& e) {
      return Fail(name, "writing back what was read with validation failed:\n" + Describe(e));
    }
    if (again.GetLength() != written.GetLength() ||
        (written.GetLength() != 0 &&
         std::memcmp(again.GetData(), written.GetData(), written.GetLength()) != 0))
      return Fail(name,
                  "what was read with validation on writes otherwise than what was read "
                  "without it");
  }
  if (options.compare) {
    CXmlDocument copy;
    try {
      copy.LoadXmlStream(const_cast<unsigned char*>(written.GetData()), written.GetLength());
    } catch (const CVxException& e) {
      return Fail(name, "the copy written back is no document:\n" + Describe(e));
    }
    std::string difference =
        vxbind_tools::InfosetDifference(root, copy.GetDocumentElement(), options.numbersByValue);
    if (!difference.empty()) return Fail(name, "the copy written back differs at " + difference);
    std::printf("%s: same infoset after reading and writing back\n", name.c_str());
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const char* program = argc > 0 ? argv[0] : "vxbind-roundtrip";
  Options options;
  bool outputGiven = false;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      std::printf(kUsage, program, vxbind_tools::kGeneratedFrom);
      return 0;
    } else if (arg == "--compare") {
      options.compare = true;
    } else if (arg == "--numbers-by-value") {
      options.numbersByValue = true;
    } else if (arg == "--validate") {
      options.validate = true;
    } else if (arg == "--output") {
      if (i + 1 >= argc) return Usage(program, "--output needs a file");
      if (outputGiven) return Usage(program, "--output given twice");
      outputGiven = true;
      options.output = argv[++i];
      if (options.output.empty()) return Usage(program, "--output needs a file");
    } else if (arg.size() > 1 && arg[0] == '-') {
      return Usage(program, "unknown option '" + arg + "'");
    } else if (!options.document.empty()) {
      return Usage(program, "one document at a time");
    } else {
      options.document = arg;
    }
  }
  if (options.document.empty()) return Usage(program, "no document given");
  if (!outputGiven && !options.compare) options.output = "-";
  try {
    return RoundTrip(options);
  } catch (const CVxException& e) {
    return Fail(options.document, "failed:\n" + Describe(e));
  } catch (const std::exception& e) {
    return Fail(options.document, std::string("failed: ") + e.what());
  }
}
