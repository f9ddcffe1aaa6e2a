// vxbindc: XML Schema in, C++ classes for the vxbind runtime out.
//
//   vxbindc SCHEMA.xsd... --output DIR --cxx-namespace NS [--depfile FILE]
//           [--sources N]
//
// Each schema of the command line gives one header and one source (or N
// sources, to compile a big schema's classes on several cores), so that
// a build knows the names of the files before it runs the compiler. A
// document that a schema reaches by xs:include or xs:import and that is not
// on the command line is generated into the files of the first command-line
// schema (in the order given) that reaches it.
//
// Every failure is printed as "file:line: message" on stderr and ends the
// program with status 1, and then no file at all has been written: the
// files are made in memory first, written under temporary names, and only
// renamed into place when all of them were written.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "Diagnostics.h"
#include "Generator.h"
#include "SchemaReader.h"
#include "vxbind/platform/Version.h"

namespace {

using vxbindc::CompileError;
using vxbindc::SourcePos;

const char kCommandLine[] = "<command line>";

const char kHelp[] =
    "Usage: vxbindc SCHEMA.xsd... --output DIR --cxx-namespace NS\n"
    "\n"
    "Compiles XML Schema documents into C++ classes for the vxbind runtime: for\n"
    "each schema NAME.xsd, DIR/NAME.h and DIR/NAME.cpp, all in the C++ namespace\n"
    "NS (identifiers joined by ::). All schemas of one namespace are compiled in\n"
    "one run; the first one's source holds the namespace's CreateRootObject.\n"
    "Documents reached by xs:include or xs:import are read too; one that is not\n"
    "on the command line is generated into the files of the first schema given\n"
    "that reaches it. The XML namespace (xml:lang, ...) is built in; nothing is\n"
    "read over the network.\n"
    "\n"
    "Supported: global and local elements and element references; named and\n"
    "anonymous complex types whose content is a sequence, choice or all group\n"
    "(groups nested, repeated or optional, and named groups); simple types\n"
    "restricting a built-in or another simple type with enumeration, pattern,\n"
    "length, minLength, maxLength and the four bounds; every built-in type; and\n"
    "attributes (local, global, referenced, in attribute groups) with use,\n"
    "default and fixed; simple content (text of a simple type with attributes).\n"
    "Complex types derived by extension or restriction (complexContent, and\n"
    "simpleContent of a complex type), abstract types chosen by xsi:type, and\n"
    "substitution groups.\n"
    "Wildcards (xs:any, xs:anyAttribute) and elements without a type or of\n"
    "xs:anyType are held as untyped content; mixed content keeps its text in\n"
    "place between the child elements; elements may have a default\n"
    "or fixed value; lists and unions are held as text; xs:whiteSpace,\n"
    "xs:totalDigits and xs:fractionDigits are taken; identity constraints are\n"
    "kept and checked when a document is read with validation on; notations\n"
    "are accepted. Anything else is refused as unsupported.\n"
    "\n"
    "Options:\n"
    "  --output DIR          where to write the files (made when missing)\n"
    "  --cxx-namespace NS    the C++ namespace of the generated code\n"
    "  --depfile FILE        also write FILE: the first header depends on every\n"
    "                        schema read, in the make format\n"
    "  --sources N           write each schema's source as N files (default 1),\n"
    "                        NAME.cpp and NAME-2.cpp ... NAME-N.cpp, its classes\n"
    "                        shared out between them in parts of about equal\n"
    "                        size, so that a big schema compiles on N cores; all\n"
    "                        N are written, also when some hold no class\n"
    "  --version             the version of vxbindc and of the vxbind it\n"
    "                        generates code for\n"
    "  --help                this text\n"
    "\n"
    "Failures are reported as file:line: message, with exit status 1; then no\n"
    "file is written.\n";

struct Options {
  std::vector<std::string> schemas;
  std::string output;
  std::string cxxNamespace;
  std::string depfile;
  int sources = 1;
  bool help = false;
  bool version = false;
};

[[noreturn]] void CommandLineError(int index, const std::string& message) {
  throw CompileError(SourcePos{kCommandLine, static_cast<uint32_t>(index)}, message);
}

bool IsIdentifier(const std::string& word) {
  static const char* const kKeywords[] = {"alignas",      "alignof",
                                          "and",          "and_eq",
                                          "asm",          "auto",
                                          "bitand",       "bitor",
                                          "bool",         "break",
                                          "case",         "catch",
                                          "char",         "char16_t",
                                          "char32_t",     "class",
                                          "compl",        "const",
                                          "constexpr",    "const_cast",
                                          "continue",     "decltype",
                                          "default",      "delete",
                                          "do",           "double",
                                          "dynamic_cast", "else",
                                          "enum",         "explicit",
                                          "export",       "extern",
                                          "false",        "float",
                                          "for",          "friend",
                                          "goto",         "if",
                                          "inline",       "int",
                                          "long",         "mutable",
                                          "namespace",    "new",
                                          "noexcept",     "not",
                                          "not_eq",       "nullptr",
                                          "operator",     "or",
                                          "or_eq",        "private",
                                          "protected",    "public",
                                          "register",     "reinterpret_cast",
                                          "return",       "short",
                                          "signed",       "sizeof",
                                          "static",       "static_assert",
                                          "static_cast",  "struct",
                                          "switch",       "template",
                                          "this",         "thread_local",
                                          "throw",        "true",
                                          "try",          "typedef",
                                          "typeid",       "typename",
                                          "union",        "unsigned",
                                          "using",        "virtual",
                                          "void",         "volatile",
                                          "wchar_t",      "while",
                                          "xor",          "xor_eq",
                                          "std",          "VxVevAva5",
                                          "VxVevAva5Data"};
  if (word.empty() || (word[0] >= '0' && word[0] <= '9')) return false;
  for (char c : word) {
    bool ok =
        (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
    if (!ok) return false;
  }
  if (word.find("__") != std::string::npos ||
      (word[0] == '_' && word.size() > 1 && word[1] >= 'A' && word[1] <= 'Z'))
    return false;
  for (const char* keyword : kKeywords)
    if (word == keyword) return false;
  return true;
}

bool IsNamespace(const std::string& ns) {
  size_t start = 0;
  for (;;) {
    size_t end = ns.find("::", start);
    if (!IsIdentifier(ns.substr(start, end == std::string::npos ? std::string::npos : end - start)))
      return false;
    if (end == std::string::npos) return true;
    start = end + 2;
  }
}

const int kMaxSources = 1000;

// The number of --sources, or 0 when `text` is no decimal from 1 to kMaxSources.
int SourceCount(const std::string& text) {
  if (text.empty() || text.size() > 4 || text.find_first_not_of("0123456789") != std::string::npos)
    return 0;
  int count = std::stoi(text);
  return count <= kMaxSources ? count : 0;
}

Options ParseArguments(int argc, char** argv) {
  Options options;
  int outputAt = 0;
  int namespaceAt = 0;
  int depfileAt = 0;
  int sourcesAt = 0;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    auto value = [&](const char* option, std::string& target, int& at) {
      std::string prefix = std::string(option) + "=";
      if (arg.compare(0, prefix.size(), prefix) == 0) {
        target = arg.substr(prefix.size());
      } else {
        if (i + 1 >= argc) CommandLineError(i, std::string(option) + " needs a value");
        target = argv[++i];
      }
      if (at != 0) CommandLineError(i, std::string(option) + " given twice");
      at = i;
    };
    if (arg == "--help" || arg == "-h") {
      options.help = true;
    } else if (arg == "--version") {
      options.version = true;
    } else if (arg == "--output" || arg.rfind("--output=", 0) == 0) {
      value("--output", options.output, outputAt);
    } else if (arg == "--cxx-namespace" || arg.rfind("--cxx-namespace=", 0) == 0) {
      value("--cxx-namespace", options.cxxNamespace, namespaceAt);
    } else if (arg == "--depfile" || arg.rfind("--depfile=", 0) == 0) {
      value("--depfile", options.depfile, depfileAt);
      if (options.depfile.empty()) CommandLineError(i, "--depfile needs a file name");
    } else if (arg == "--sources" || arg.rfind("--sources=", 0) == 0) {
      std::string count;
      value("--sources", count, sourcesAt);
      options.sources = SourceCount(count);
      if (options.sources == 0)
        CommandLineError(i, "--sources needs a number from 1 to " +
                                std::to_string(kMaxSources) + ", not '" + count + "'");
    } else if (arg.size() > 1 && arg[0] == '-') {
      CommandLineError(i, "unknown option '" + arg + "' (see --help)");
    } else {
      options.schemas.push_back(arg);
    }
  }
  if (options.help || options.version) return options;
  if (options.schemas.empty()) CommandLineError(0, "no schema given (see --help)");
  if (outputAt == 0) CommandLineError(0, "--output DIR is missing");
  if (options.output.empty()) CommandLineError(outputAt, "--output needs a directory");
  if (namespaceAt == 0) CommandLineError(0, "--cxx-namespace NS is missing");
  if (!IsNamespace(options.cxxNamespace))
    CommandLineError(namespaceAt, "'" + options.cxxNamespace + "' is no C++ namespace name");
  return options;
}

// Writes every file under a temporary name first, then renames them all; on
// any failure removes what it made and throws.
void WriteFiles(const std::string& directory, const std::vector<vxbindc::OutputFile>& files) {
  namespace fs = std::filesystem;
  std::error_code error;
  fs::create_directories(directory, error);
  if (error)
    throw CompileError(SourcePos{directory, 0}, "cannot make the directory: " + error.message());
  std::vector<fs::path> temporaries;
  auto cleanUp = [&] {
    std::error_code ignored;
    for (const fs::path& path : temporaries) fs::remove(path, ignored);
  };
  for (const vxbindc::OutputFile& file : files) {
    fs::path path = fs::path(directory) / (file.name + ".vxbindc-tmp");
    temporaries.push_back(path);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << file.text;
    out.close();
    if (!out) {
      std::string reason = std::strerror(errno);
      cleanUp();
      throw CompileError(SourcePos{path.string(), 0}, "cannot write the file: " + reason);
    }
  }
  for (size_t i = 0; i < files.size(); ++i) {
    fs::path target = fs::path(directory) / files[i].name;
    fs::rename(temporaries[i], target, error);
    if (error) {
      cleanUp();
      throw CompileError(SourcePos{target.string(), 0},
                         "cannot write the file: " + error.message());
    }
  }
}

// A file name in a make rule: spaces, '#', '$' and ':' escaped.
std::string MakeEscaped(const std::string& path) {
  std::string result;
  for (char c : path) {
    if (c == ' ' || c == '#' || c == ':' || c == '\\') result += '\\';
    if (c == '$') result += '$';
    result += c;
  }
  return result;
}

// "OUTPUT: SCHEMA..." for the build: the generated files are made again when
// any schema read changes, included and imported ones too. Absolute paths,
// whatever directory the build runs the compiler in.
void WriteDepfile(const std::string& depfile, const std::string& output,
                  const std::vector<std::string>& inputs) {
  namespace fs = std::filesystem;
  std::string text = MakeEscaped(fs::absolute(output).lexically_normal().string()) + ":";
  for (const std::string& input : inputs)
    text += " \\\n  " + MakeEscaped(fs::absolute(input).lexically_normal().string());
  text += "\n";
  WriteFiles(fs::path(depfile).parent_path().string().empty()
                 ? "."
                 : fs::path(depfile).parent_path().string(),
             {vxbindc::OutputFile{fs::path(depfile).filename().string(), text}});
}

int Run(int argc, char** argv) {
  Options options = ParseArguments(argc, argv);
  if (options.help) {
    std::cout << kHelp;
    return 0;
  }
  if (options.version) {
    std::cout << "vxbindc " VXBIND_VERSION_STRING "\n";
    return 0;
  }
  std::vector<std::string> read;
  std::vector<std::unique_ptr<vxbindc::Schema>> schemas =
      vxbindc::LoadSchemas(options.schemas, &read);
  std::vector<vxbindc::OutputFile> files = vxbindc::Generate(schemas, options.cxxNamespace, options.sources);
  WriteFiles(options.output, files);
  if (!options.depfile.empty())
    WriteDepfile(options.depfile, options.output + "/" + files.front().name, read);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return Run(argc, argv);
  } catch (const CompileError& e) {
    std::cerr << e.Format() << "\n";
  } catch (const std::bad_alloc&) {
    std::cerr << "vxbindc:0: out of memory\n";
  } catch (const std::exception& e) {
    std::cerr << "vxbindc:0: internal error: " << e.what() << "\n";
  }
  return 1;
}
