// Assembles the generated files: for resolved schemas, the C++ headers and
// sources in the style of examples/po, from the plan of Planner.h and the
// parts that the emitters write (ClassEmitter.h, EnumerationEmitter.h,
// CollectionEmitter.h, FactoryEmitter.h). It writes no entity itself.
//
// All schemas of one run share one C++ namespace, and each gives one header
// and one source named after the schema file (po.xsd: po.h, po.cpp). Class
// and enumeration names are given across the run, so that they cannot clash
// in the namespace; two schemas with the same file name are refused. The
// namespace's CreateRootObject is defined in the source of the first schema
// and knows the global elements of all of them. A source may be written as
// several files (see Generate), the first of them holding what must exist
// once, each repeating the file-local helpers its classes use.
//
// Only the schemas of the command line (Schema::outputUnit null) have files
// of their own: a document reached by xs:include or xs:import that is not on
// the command line is generated into the files of the first command-line
// schema that reaches it, so that a build knows every file name before the
// compiler runs. The headers of one run may be included together in any
// order, also where the schemas import each other.
#ifndef VXBIND_COMPILER_GENERATOR_H
#define VXBIND_COMPILER_GENERATOR_H

#include <memory>
#include <string>
#include <vector>

#include "Schema.h"

namespace vxbindc {

struct OutputFile {
  std::string name;  // file name, without directory
  std::string text;
};

// `cxxNamespace` is one or more identifiers joined by "::". Throws
// CompileError; gives every file or none. With `sources` N above 1 each
// schema's source is N files, NAME.cpp and NAME-2.cpp ... NAME-N.cpp (some
// perhaps without classes), its classes shared out between them so that
// they can be compiled side by side.
std::vector<OutputFile> Generate(const std::vector<std::unique_ptr<Schema>>& schemas,
                                 const std::string& cxxNamespace, int sources = 1);

}  // namespace vxbindc

#endif  // VXBIND_COMPILER_GENERATOR_H
