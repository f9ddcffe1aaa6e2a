#include "Printer.h"

#include <stdexcept>

namespace vxbindc {

void Printer::Print(const Variables& variables, const std::string& text) {
  size_t at = 0;
  while (at < text.size()) {
    size_t open = text.find('$', at);
    if (open == std::string::npos) {
      m_out << text.substr(at);
      return;
    }
    size_t close = text.find('$', open + 1);
    if (close == std::string::npos)
      throw std::logic_error("unclosed $ in a template: " + text.substr(open));
    m_out << text.substr(at, open - at);
    const std::string name = text.substr(open + 1, close - open - 1);
    if (name.empty()) {
      m_out << '$';
    } else {
      auto it = variables.find(name);
      if (it == variables.end()) throw std::logic_error("no value for $" + name + "$ in a template");
      m_out << it->second;
    }
    at = close + 1;
  }
}

}  // namespace vxbindc
