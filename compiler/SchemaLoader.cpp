#include "SchemaLoader.h"

#include <vxbind/vxbind.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <optional>
#include <utility>

#include "IdentityConstraints.h"
#include "ReaderSupport.h"
#include "Resolver.h"
#include "SchemaChecker.h"
#include "SchemaReader.h"

namespace vxbindc {

using VxVevAva5::CVxException;
using VxVevAva5::CXmlDocument;

namespace {

// Loads the XML of a schema document; its errors become CompileErrors.
void LoadDocument(const std::string& file, CXmlDocument& document,
                  const std::function<void()>& load) {
  try {
    document.SetStrictXml(true);
    load();
  } catch (const CVxException& e) {
    // The text reader names the line in its message ("... at line 3").
    std::string message = U8(e.GetMessage());
    uint32_t line = e.GetLineNumber();
    size_t at = message.rfind(" at line ");
    if (line == 0 && at != std::string::npos)
      line = static_cast<uint32_t>(std::strtoul(message.c_str() + at + 9, nullptr, 10));
    throw CompileError(SourcePos{file, line}, message);
  }
}

// Loads the schema file `file`; `at`, if given, is the directive that names
// it.
void LoadFile(const std::string& file, const SourcePos* at, CXmlDocument& document) {
  errno = 0;
  std::ifstream in(file, std::ios::binary);
  std::vector<unsigned char> bytes;
  bool failed = !in;
  try {
    // A directory opens, and then fails to read, by an exception.
    if (in) bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  } catch (const std::exception&) {
    failed = true;
  }
  if (failed || in.bad()) {
    std::string reason = errno != 0 ? std::strerror(errno) : "cannot read the file";
    if (at != nullptr) throw CompileError(*at, "cannot read the schema '" + file + "': " + reason);
    throw CompileError(SourcePos{file, 0}, "cannot read: " + reason);
  }
  if (bytes.empty()) throw CompileError(SourcePos{file, 0}, "the file is empty");
  if (bytes.size() > UINT32_MAX) throw CompileError(SourcePos{file, 0}, "the file is too large");
  LoadDocument(file, document,
               [&] { document.LoadXmlStream(bytes.data(), static_cast<uint32_t>(bytes.size())); });
}

// Loads the schema document `file`, from `text` when given, and reads it
// into a new Schema.
std::unique_ptr<Schema> ReadDocument(const std::string& file, const SourcePos* at,
                                     const std::string* text, ReadMode mode,
                                     const std::optional<std::string>& chameleon) {
  CXmlDocument document;
  if (text != nullptr)
    LoadDocument(file, document, [&] { document.LoadXml(text->c_str()); });
  else
    LoadFile(file, at, document);
  auto schema = std::make_unique<Schema>();
  schema->file = file;
  schema->chameleonNamespace = chameleon;
  ReadSchema(document, *schema, mode);
  return schema;
}

// Resolves the documents, each phase for all of them before the next, and
// checks them. `run` is null for one document read alone.
void ResolveAndCheck(const std::vector<Schema*>& documents, const RunDocuments* run) {
  std::vector<Resolver> resolvers;
  resolvers.reserve(documents.size());
  for (Schema* document : documents) resolvers.emplace_back(*document, run);
  // What references into other documents need comes first everywhere. A
  // document alone resolves its global attributes' types with their values.
  for (Resolver& resolver : resolvers) resolver.ResolveSimpleTypes();
  if (run != nullptr)
    for (Resolver& resolver : resolvers) resolver.ResolveGlobalAttributes();
  for (Resolver& resolver : resolvers) resolver.ResolveDeclarations();
  for (Resolver& resolver : resolvers) resolver.ResolveDerivationBases();
  for (Resolver& resolver : resolvers) resolver.WrapDerivedContents();
  for (Resolver& resolver : resolvers) resolver.SettleDerivations();
  for (Resolver& resolver : resolvers) resolver.ResolveSubstitutionGroups();
  for (Schema* document : documents) CheckSchema(*document);
  for (Resolver& resolver : resolvers) resolver.ResolveMixedText();
  ResolveIdentityConstraints(documents);
}

// One document read, resolved and checked on its own.
std::unique_ptr<Schema> LoadAlone(const std::string& file, const std::string* text) {
  std::unique_ptr<Schema> schema = ReadDocument(file, nullptr, text, ReadMode::Alone, std::nullopt);
  ResolveAndCheck({schema.get()}, nullptr);
  return schema;
}

// -- the documents of a run -----------------------------------------------------

// The XML namespace (xml:lang, xml:space, xml:base, xml:id) is built in: its
// schemaLocation, usually an http address, is never read.
const char kXmlNamespaceSchema[] =
    "<xs:schema xmlns:xs='http://www.w3.org/2001/XMLSchema'\n"
    "           targetNamespace='http://www.w3.org/XML/1998/namespace'>\n"
    "  <xs:attribute name='lang' type='xs:string'/>\n"
    "  <xs:attribute name='space'>\n"
    "    <xs:simpleType>\n"
    "      <xs:restriction base='xs:NCName'>\n"
    "        <xs:enumeration value='default'/>\n"
    "        <xs:enumeration value='preserve'/>\n"
    "      </xs:restriction>\n"
    "    </xs:simpleType>\n"
    "  </xs:attribute>\n"
    "  <xs:attribute name='base' type='xs:anyURI'/>\n"
    "  <xs:attribute name='id' type='xs:ID'/>\n"
    "</xs:schema>\n";
const char kXmlNamespaceFile[] = "<the xml namespace>";

// "http://...", "file:..." and the like; "C:\..." is a path.
bool IsUrl(const std::string& location) {
  size_t colon = location.find(':');
  if (colon == std::string::npos || colon < 2) return false;
  for (size_t i = 0; i < colon; ++i) {
    char c = location[i];
    bool scheme = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                  (i > 0 && ((c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.'));
    if (!scheme) return false;
  }
  return true;
}

std::string NamespaceText(const std::string& ns) {
  return ns.empty() ? std::string("no target namespace") : "the target namespace '" + ns + "'";
}

// Reads the documents of a run: those of the command line, then, one
// command-line schema after the other, every document their includes and
// imports reach, each (file, namespace) once, with a work list; then
// resolves them all together.
class Loader {
 public:
  std::vector<std::unique_ptr<Schema>> Run(const std::vector<std::string>& paths,
                                           std::vector<std::string>* files);

 private:
  Schema* Read(const std::string& file, const SourcePos* at,
               const std::optional<std::string>& chameleon, const Schema* unit,
               const std::string* text = nullptr);
  void Follow(const Schema& from, const Schema* unit, std::deque<const Schema*>& work);

  std::vector<std::unique_ptr<Schema>> m_schemas;
  std::map<std::pair<std::string, std::string>, Schema*> m_loaded;  // (file, namespace)
  // The target namespace a file declares; none for a document without one.
  std::map<std::string, std::optional<std::string>> m_declared;
  struct Remote {
    std::string ns;
    std::string location;
    SourcePos pos;
    bool include;
  };
  size_t m_given = 0;            // the documents of the command line, first in m_schemas
  std::vector<Remote> m_remote;  // imports by URL: their namespace must come from elsewhere
  RunDocuments m_run;
};

Schema* Loader::Read(const std::string& file, const SourcePos* at,
                     const std::optional<std::string>& chameleon, const Schema* unit,
                     const std::string* text) {
  std::unique_ptr<Schema> schema = ReadDocument(file, at, text, ReadMode::InRun, chameleon);
  schema->outputUnit = unit;
  Schema* raw = schema.get();
  m_schemas.push_back(std::move(schema));
  std::string canonical = CanonicalPath(file);
  m_declared.emplace(canonical, raw->chameleonNamespace || raw->targetNamespace.empty()
                                    ? std::nullopt
                                    : std::optional<std::string>(raw->targetNamespace));
  m_loaded.emplace(std::make_pair(canonical, raw->targetNamespace), raw);
  return raw;
}

void Loader::Follow(const Schema& from, const Schema* unit, std::deque<const Schema*>& work) {
  namespace fs = std::filesystem;
  for (const Directive& directive : from.directives) {
    if (!directive.include && directive.ns == kXmlNamespace) continue;  // built in
    if (!directive.location) continue;  // the namespace must come from elsewhere
    const std::string& location = *directive.location;
    std::string file = (fs::path(from.file).parent_path() / location).lexically_normal().string();
    if (IsUrl(location)) {
      if (!directive.include) {
        m_remote.push_back(Remote{directive.ns, location, directive.pos, false});
        continue;
      }
      // An include by URL is met by a schema of the command line: one of
      // the includer's namespace, or a document without one by the name the
      // URL ends in, read again into the includer's namespace (a chameleon).
      // (Without a namespace, only the name tells which document is meant.)
      const Schema* given = nullptr;
      std::string name = location.substr(location.find_last_of('/') + 1);
      for (size_t i = 0; i < m_given && !given; ++i) {
        const Schema& schema = *m_schemas[i];
        bool itself = CanonicalPath(schema.file) == CanonicalPath(from.file);
        bool named = fs::path(schema.file).filename().string() == name;
        if (!itself && schema.targetNamespace == directive.ns && (named || !directive.ns.empty()))
          given = &schema;
      }
      for (size_t i = 0; i < m_given && !given && !directive.ns.empty(); ++i)
        if (m_schemas[i]->targetNamespace.empty() &&
            fs::path(m_schemas[i]->file).filename().string() == name)
          given = m_schemas[i].get();
      if (!given) {
        m_remote.push_back(Remote{directive.ns, location, directive.pos, true});
        continue;
      }
      if (given->targetNamespace == directive.ns) continue;  // in the run already
      file = given->file;
    }
    std::string canonical = CanonicalPath(file);
    // A document without a namespace takes the includer's; imported, it has none.
    std::optional<std::string> chameleon;
    if (directive.include && !from.targetNamespace.empty()) chameleon = from.targetNamespace;
    const Schema* schema = nullptr;
    auto declared = m_declared.find(canonical);
    if (declared != m_declared.end()) {
      std::string ns = declared->second ? *declared->second : chameleon.value_or("");
      auto loaded = m_loaded.find(std::make_pair(canonical, ns));
      if (loaded != m_loaded.end()) schema = loaded->second;
    }
    if (schema == nullptr) {
      schema = Read(file, &directive.pos, chameleon, unit);
      work.push_back(schema);
    }
    if (schema->targetNamespace != directive.ns)
      throw CompileError(directive.pos,
                         std::string(directive.include ? "the included" : "the imported") +
                             " schema '" + file + "' has " +
                             NamespaceText(schema->targetNamespace) + ", but " +
                             (directive.include ? "the including one has " : "the import names ") +
                             NamespaceText(directive.ns));
  }
}

std::vector<std::unique_ptr<Schema>> Loader::Run(const std::vector<std::string>& paths,
                                                 std::vector<std::string>* files) {
  for (const std::string& path : paths) Read(path, nullptr, std::nullopt, nullptr);
  m_given = m_schemas.size();
  for (size_t i = 0; i < paths.size(); ++i) {
    const Schema* unit = m_schemas[i].get();
    std::deque<const Schema*> work{unit};
    while (!work.empty()) {
      const Schema* next = work.front();
      work.pop_front();
      Follow(*next, unit, work);
    }
  }
  if (files != nullptr)
    for (const auto& schema : m_schemas) files->push_back(schema->file);

  // The XML namespace, for the first document that refers to it, unless a
  // schema of that namespace was read.
  bool xmlRead = false;
  const Schema* xmlUser = nullptr;
  for (const auto& schema : m_schemas) {
    xmlRead = xmlRead || schema->targetNamespace == kXmlNamespace;
    if (schema->usesXmlNamespace && xmlUser == nullptr) xmlUser = schema.get();
  }
  if (xmlUser != nullptr && !xmlRead) {
    const std::string text = kXmlNamespaceSchema;
    Read(kXmlNamespaceFile, nullptr, std::nullopt,
         xmlUser->outputUnit ? xmlUser->outputUnit : xmlUser, &text);
  }
  for (const Remote& remote : m_remote) {
    bool known = false;
    // An include is met by another document of its namespace (one reached
    // by a local path, say); one without a namespace was met by name or not.
    for (const auto& schema : m_schemas) {
      bool other = CanonicalPath(schema->file) != CanonicalPath(remote.pos.file);
      known = known || (schema->targetNamespace == remote.ns &&
                        (!remote.include || (!remote.ns.empty() && other)));
    }
    if (!known && remote.include)
      throw CompileError(remote.pos, "vxbindc reads no schema from '" + remote.location +
                                         "': include a local copy by its path");
    if (!known)
      throw CompileError(remote.pos, "vxbindc reads no schema from '" + remote.location +
                                         "': give a local schemaLocation for the namespace '" +
                                         remote.ns + "', or compile its schema in the same run");
  }

  CheckDuplicateComponents(m_schemas);

  std::vector<Schema*> documents;
  for (const auto& schema : m_schemas) {
    m_run.emplace(schema->targetNamespace, schema.get());
    documents.push_back(schema.get());
  }
  ResolveAndCheck(documents, &m_run);
  return std::move(m_schemas);
}

}  // namespace

std::vector<std::unique_ptr<Schema>> LoadSchemas(const std::vector<std::string>& paths,
                                                 std::vector<std::string>* files) {
  return Loader().Run(paths, files);
}

std::unique_ptr<Schema> LoadSchema(const std::string& path) { return LoadAlone(path, nullptr); }

std::unique_ptr<Schema> ParseSchema(const std::string& file, const std::string& text) {
  return LoadAlone(file, &text);
}

}  // namespace vxbindc
