// Reading one schema document into the schema model.
//
// The reader takes the document through the library's own CXmlDocument and
// keeps the input line of every construct for the messages. It takes the
// declarations, types, groups and facets as they are written and looks
// nothing up in other documents: a reference stays a QName, for the
// resolver (Resolver.h). It walks the document without recursion: an
// anonymous complex type is put on a work list when it is met and read from
// there, so the nesting of anonymous types costs no stack, however deep it
// is.
//
// A model group inside a model group, or one that repeats or may be
// missing, becomes a pseudo type (ComplexType::pseudo), also read from the
// work list.
//
// Every construct outside the supported subset is refused with
// "unsupported ...". xs:redefine is refused.
//
// The entry points that load, resolve and check schemas (LoadSchema,
// ParseSchema, LoadSchemas) are declared in SchemaLoader.h, included here
// for the code that knows them from this header.
#ifndef VXBIND_COMPILER_SCHEMAREADER_H
#define VXBIND_COMPILER_SCHEMAREADER_H

#include "Schema.h"
#include "SchemaLoader.h"

namespace VxVevAva5 {
class CXmlDocument;
}

namespace vxbindc {

// How a document is read. Alone, xs:include and xs:import are refused, so
// that every reference is to a built-in type or to a component of the same
// document. In a run, they are kept as the schema's directives for the
// loader, and a reference may name a namespace only when the document
// imports it (or it is the target, XSD or XML namespace).
enum class ReadMode { Alone, InRun };

// Reads the loaded document into `schema`, whose file (and, for a chameleon
// include, chameleonNamespace) the caller has set. Throws CompileError.
void ReadSchema(const VxVevAva5::CXmlDocument& document, Schema& schema, ReadMode mode);

}  // namespace vxbindc

#endif  // VXBIND_COMPILER_SCHEMAREADER_H
