// Failures of vxbindc. Every one names a place, the schema file and the line
// of the construct at fault, and is printed as "file:line: message".
#ifndef VXBIND_COMPILER_DIAGNOSTICS_H
#define VXBIND_COMPILER_DIAGNOSTICS_H

#include <cstdint>
#include <stdexcept>
#include <string>

namespace vxbindc {

// A place in an input: a schema file and its line (from 1; 0 when the
// failure concerns the file as a whole).
struct SourcePos {
  std::string file;
  uint32_t line = 0;
};

class CompileError : public std::runtime_error {
 public:
  CompileError(SourcePos pos, const std::string& message)
      : std::runtime_error(message), m_pos(std::move(pos)) {}

  const SourcePos& Pos() const { return m_pos; }
  // "file:line: message", as printed on stderr.
  std::string Format() const {
    return m_pos.file + ":" + std::to_string(m_pos.line) + ": " + what();
  }

 private:
  SourcePos m_pos;
};

}  // namespace vxbindc

#endif  // VXBIND_COMPILER_DIAGNOSTICS_H
