// Loading schemas: the files of a compilation read (SchemaReader.h),
// resolved (Resolver.h) and checked (SchemaChecker.h).
//
// LoadSchema and ParseSchema read one schema document on its own: xs:include
// and xs:import are refused there, so every reference is to a built-in type
// or to a component of the same document. LoadSchemas reads the documents of
// a run: those given and every document their xs:include and xs:import
// reach (each once, cycles allowed, a file known by its canonical path), and
// resolves references across them by namespace and local name. A
// schemaLocation that is a URL is never read: an include of one is refused,
// and an import of one must find its namespace in another document of the
// run. The XML namespace is built in.
#ifndef VXBIND_COMPILER_SCHEMALOADER_H
#define VXBIND_COMPILER_SCHEMALOADER_H

#include <memory>
#include <string>
#include <vector>

#include "Schema.h"

namespace vxbindc {

// Reads and resolves the schema in the file `path` (named so in messages).
// Throws CompileError.
std::unique_ptr<Schema> LoadSchema(const std::string& path);
// The same for a schema given as UTF-8 text; `file` names it in messages.
std::unique_ptr<Schema> ParseSchema(const std::string& file, const std::string& text);
// The schemas in the files `paths`, in that order, followed by the documents
// they reach (Schema::outputUnit names the command-line schema whose files
// hold them), and the built-in one of the XML namespace when it is used.
// `files`, if given, receives every file read. Throws CompileError.
std::vector<std::unique_ptr<Schema>> LoadSchemas(const std::vector<std::string>& paths,
                                                 std::vector<std::string>* files = nullptr);

}  // namespace vxbindc

#endif  // VXBIND_COMPILER_SCHEMALOADER_H
