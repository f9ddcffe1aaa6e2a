// Reading a schema document into the schema model, and resolving it.
//
// The reader takes the document through the library's own CXmlDocument and
// keeps the input line of every construct for the messages. It walks the
// document without recursion: an anonymous complex type is put on a work
// list when it is met and read from there, so the nesting of anonymous types
// costs no stack, however deep it is.
//
// A model group inside a model group, or one that repeats or may be
// missing, becomes a pseudo type (ComplexType::pseudo), also read from the
// work list.
//
// LoadSchema and ParseSchema read one schema document on its own: xs:include
// and xs:import are refused there, so every reference is to a built-in type
// or to a component of the same document. LoadSchemas reads the documents of
// a run: those given and every document their xs:include and xs:import
// reach (each once, cycles allowed), and resolves references across them by
// namespace and local name. xs:redefine is refused. Every construct outside
// the supported subset is refused with "unsupported ...".
#ifndef VXBIND_COMPILER_SCHEMAREADER_H
#define VXBIND_COMPILER_SCHEMAREADER_H

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

#endif  // VXBIND_COMPILER_SCHEMAREADER_H
