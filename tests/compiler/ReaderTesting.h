// Helpers of the tables of schemas the reader refuses: a schema around a
// body, the message reading it ends with, and the parameterized test that
// every table of refusals instantiates.
#ifndef VXBIND_TESTS_COMPILER_READERTESTING_H
#define VXBIND_TESTS_COMPILER_READERTESTING_H

#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "SchemaLoader.h"

namespace reader_testing {

// A schema whose body starts on line 2 (line 1 holds the xs:schema tag).
inline std::string Schema(const std::string& body, const std::string& schemaAttributes = "") {
  return "<xs:schema xmlns:xs='http://www.w3.org/2001/XMLSchema'" + schemaAttributes + ">\n" +
         body + "\n</xs:schema>\n";
}

// The "t.xsd:line: message" that reading `text` ends with, "(accepted)" when
// it is read.
inline std::string ErrorOf(const std::string& text) {
  try {
    vxbindc::ParseSchema("t.xsd", text);
  } catch (const vxbindc::CompileError& e) {
    return e.Format();
  }
  return "(accepted)";
}

struct Refusal {
  const char* name;
  std::string body;
  std::string expected;  // "(accepted)" for a body that is read
};

// Test names and failure reports show the row's name, not its bytes.
inline void PrintTo(const Refusal& r, std::ostream* os) { *os << r.name; }
inline std::string RefusalName(const testing::TestParamInfo<Refusal>& p) { return p.param.name; }

// Each body is read as a schema (TEST_P in SchemaReader_test.cpp); the tables
// instantiate it in the test files of their constructs.
class Refusals : public testing::TestWithParam<Refusal> {};

}  // namespace reader_testing

#endif  // VXBIND_TESTS_COMPILER_READERTESTING_H
