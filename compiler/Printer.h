// Text templates for the generator: what a generated entity looks like is
// written out as text, its variable parts as $name$, so that the output can
// be read in the generator's source:
//
//   Printer p(out);
//   p.Print("int $enum$FromString(const unsigned short* text);\n", "enum", name);
//
// "$$" writes a single '$'. A variable the call does not give is a fault of
// the generator and throws std::logic_error.
#ifndef VXBIND_COMPILER_PRINTER_H
#define VXBIND_COMPILER_PRINTER_H

#include <map>
#include <ostream>
#include <string>
#include <type_traits>

namespace vxbindc {

class Printer {
 public:
  using Variables = std::map<std::string, std::string>;

  explicit Printer(std::ostream& out) : m_out(out) {}

  void Print(const Variables& variables, const std::string& text);
  // The variables as name, value pairs after the text.
  template <class... Pairs>
  void Print(const std::string& text, const Pairs&... pairs) {
    Variables variables;
    Add(variables, pairs...);
    Print(variables, text);
  }

 private:
  static void Add(Variables&) {}
  template <class Value, class... Rest>
  static void Add(Variables& variables, const char* name, const Value& value,
                  const Rest&... rest) {
    variables[name] = ToText(value);
    Add(variables, rest...);
  }
  static std::string ToText(const std::string& value) { return value; }
  static std::string ToText(const char* value) { return value; }
  template <class Number,
            class = typename std::enable_if<std::is_arithmetic<Number>::value>::type>
  static std::string ToText(Number value) {
    return std::to_string(value);
  }

  std::ostream& m_out;
};

}  // namespace vxbindc

#endif  // VXBIND_COMPILER_PRINTER_H
