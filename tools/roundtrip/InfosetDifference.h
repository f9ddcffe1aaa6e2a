// The first difference between two documents' infosets, for tools that
// check a round trip: element names and namespaces, attribute sets, and
// text. Namespace prefixes and declarations are not compared, nor are
// xsi:schemaLocation and xsi:noNamespaceSchemaLocation (hints for validators,
// which binding skips); an xsi:type value is compared as the name it
// resolves to. Text is compared as is in elements without child elements;
// in the others run by run, each run between two children (or before the
// first, after the last) with its counterpart, so that text that moved is
// a difference, leading and trailing white space of a run ignored
// (indentation); an element without children whose text is only white
// space with a line break (an empty element of element-only content,
// indented) matches the same element empty. With `numbersByValue`, two
// texts that are both decimal numbers are equal when their values are
// (-33.8570 and -33.857, +1 and 1), two numbers in exponent notation when
// their mantissas and exponents are (1.50E+07 and 1.5e7; 1e1 and 10 are
// not), and so are two times or dates with times that differ in the
// spelling of their seconds or of UTC (13.000 and 13, +00:00 and Z); white
// space around a number, a time or true or false does not count either:
// binding keeps values, not their spelling.
// Two texts (of leaf elements, or attribute values) that have the form of
// a QName ("prefix:local" or "local") are equal when they name the same
// namespace and local name where each stands (no prefix: the default
// namespace): a QName value may come back with another prefix, or with one
// where it had none. Texts that are equal as they are stay equal.
#ifndef VXBIND_TOOLS_ROUNDTRIP_INFOSETDIFFERENCE_H
#define VXBIND_TOOLS_ROUNDTRIP_INFOSETDIFFERENCE_H

#include <string>

namespace VxVevAva5 {
class CXmlElement;
}

namespace vxbind_tools {

// "" when the trees rooted at `expected` and `actual` have the same
// infoset, otherwise one line (UTF-8) naming the path of the first element
// that differs and how, e.g.
//   /library/book[2]/title: text 'Spain' became 'spain'
// The walk keeps its own stack: any depth is fine.
std::string InfosetDifference(const VxVevAva5::CXmlElement* expected,
                              const VxVevAva5::CXmlElement* actual, bool numbersByValue = false);

// A decimal number's text in one spelling per value (no sign for zero or
// positive values, no leading or trailing zeros, no point without a
// fraction); the text itself when it is no decimal number.
std::string CanonicalDecimal(const std::string& text);

// An xs:time or xs:dateTime text in one spelling per value as far as the
// seconds' fraction (no trailing zeros) and UTC ("Z" for +00:00 and -00:00)
// go; the text itself when it is neither.
std::string CanonicalTime(const std::string& text);

}  // namespace vxbind_tools

#endif  // VXBIND_TOOLS_ROUNDTRIP_INFOSETDIFFERENCE_H
