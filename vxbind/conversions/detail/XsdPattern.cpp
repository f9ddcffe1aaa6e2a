// XsdPattern.cpp - XML Schema regular expressions rewritten for PCRE2.
//
// What is rewritten (everything else that XSD allows passes as it is, with
// every character other than an ASCII letter or digit written as \x{..}):
//   (...)            (?:...)          no captures are ever needed
//   .                [^\n\r]
//   \s \S            [\t\n\r ] and its complement
//   \d \D            \p{Nd} \P{Nd}
//   \w \W            [\p{L}\p{M}\p{N}\p{S}]  [\p{P}\p{Z}\p{C}]
//   \i \I \c \C      the NameStartChar / NameChar ranges of XML 1.0 (fifth
//                    edition) and their complements
//   \p{IsBlock}      the block's ranges (the block names of XML Schema 1.0)
//   [A-[B]]          (?:(?!B)[A]); a chain [A-[B-[C]]] nests iteratively
//   ^ $ and others   literal characters
// What is refused: an escape XSD does not define (\b \A \1 \x41 \u0041 \$
// ...), a quantifier that follows nothing or another quantifier (so lazy
// a*? and possessive a*+ forms, and "(?" groups), a '{' that does not form
// {n}, {n,} or {n,m}, an unescaped ']' or '}', an unknown \p name, '['
// inside a class, a '-' in the middle of a class that starts no range or
// subtraction, and unpaired surrogates.
#include "vxbind/conversions/detail/XsdPattern.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

namespace VxVevAva5 {
namespace detail {
namespace {

struct Range {
  uint32_t first;
  uint32_t last;
};

constexpr uint32_t kMaxCodePoint = 0x10FFFF;

// XML 1.0 (fifth edition) NameStartChar and NameChar, sorted.
const Range kNameStartChars[] = {
    {0x3A, 0x3A},     {0x41, 0x5A},     {0x5F, 0x5F},     {0x61, 0x7A},
    {0xC0, 0xD6},     {0xD8, 0xF6},     {0xF8, 0x2FF},    {0x370, 0x37D},
    {0x37F, 0x1FFF},  {0x200C, 0x200D}, {0x2070, 0x218F}, {0x2C00, 0x2FEF},
    {0x3001, 0xD7FF}, {0xF900, 0xFDCF}, {0xFDF0, 0xFFFD}, {0x10000, 0xEFFFF},
};
const Range kNameChars[] = {
    {0x2D, 0x2E},     {0x30, 0x3A},     {0x41, 0x5A},       {0x5F, 0x5F},     {0x61, 0x7A},
    {0xB7, 0xB7},     {0xC0, 0xD6},     {0xD8, 0xF6},       {0xF8, 0x37D},    {0x37F, 0x1FFF},
    {0x200C, 0x200D}, {0x203F, 0x2040}, {0x2070, 0x218F},   {0x2C00, 0x2FEF}, {0x3001, 0xD7FF},
    {0xF900, 0xFDCF}, {0xFDF0, 0xFFFD}, {0x10000, 0xEFFFF},
};
// XSD's whitespace: tab, line feed, carriage return, space.
const Range kSpaces[] = {{0x9, 0xA}, {0xD, 0xD}, {0x20, 0x20}};

// The block names of XML Schema 1.0 (Unicode 3.1). PrivateUse and Specials
// name more than one range.
struct Block {
  const char* name;
  Range range;
};
const Block kBlocks[] = {
    {"BasicLatin", {0x0000, 0x007F}},
    {"Latin-1Supplement", {0x0080, 0x00FF}},
    {"LatinExtended-A", {0x0100, 0x017F}},
    {"LatinExtended-B", {0x0180, 0x024F}},
    {"IPAExtensions", {0x0250, 0x02AF}},
    {"SpacingModifierLetters", {0x02B0, 0x02FF}},
    {"CombiningDiacriticalMarks", {0x0300, 0x036F}},
    {"Greek", {0x0370, 0x03FF}},
    {"Cyrillic", {0x0400, 0x04FF}},
    {"Armenian", {0x0530, 0x058F}},
    {"Hebrew", {0x0590, 0x05FF}},
    {"Arabic", {0x0600, 0x06FF}},
    {"Syriac", {0x0700, 0x074F}},
    {"Thaana", {0x0780, 0x07BF}},
    {"Devanagari", {0x0900, 0x097F}},
    {"Bengali", {0x0980, 0x09FF}},
    {"Gurmukhi", {0x0A00, 0x0A7F}},
    {"Gujarati", {0x0A80, 0x0AFF}},
    {"Oriya", {0x0B00, 0x0B7F}},
    {"Tamil", {0x0B80, 0x0BFF}},
    {"Telugu", {0x0C00, 0x0C7F}},
    {"Kannada", {0x0C80, 0x0CFF}},
    {"Malayalam", {0x0D00, 0x0D7F}},
    {"Sinhala", {0x0D80, 0x0DFF}},
    {"Thai", {0x0E00, 0x0E7F}},
    {"Lao", {0x0E80, 0x0EFF}},
    {"Tibetan", {0x0F00, 0x0FFF}},
    {"Myanmar", {0x1000, 0x109F}},
    {"Georgian", {0x10A0, 0x10FF}},
    {"HangulJamo", {0x1100, 0x11FF}},
    {"Ethiopic", {0x1200, 0x137F}},
    {"Cherokee", {0x13A0, 0x13FF}},
    {"UnifiedCanadianAboriginalSyllabics", {0x1400, 0x167F}},
    {"Ogham", {0x1680, 0x169F}},
    {"Runic", {0x16A0, 0x16FF}},
    {"Khmer", {0x1780, 0x17FF}},
    {"Mongolian", {0x1800, 0x18AF}},
    {"LatinExtendedAdditional", {0x1E00, 0x1EFF}},
    {"GreekExtended", {0x1F00, 0x1FFF}},
    {"GeneralPunctuation", {0x2000, 0x206F}},
    {"SuperscriptsandSubscripts", {0x2070, 0x209F}},
    {"CurrencySymbols", {0x20A0, 0x20CF}},
    {"CombiningMarksforSymbols", {0x20D0, 0x20FF}},
    {"LetterlikeSymbols", {0x2100, 0x214F}},
    {"NumberForms", {0x2150, 0x218F}},
    {"Arrows", {0x2190, 0x21FF}},
    {"MathematicalOperators", {0x2200, 0x22FF}},
    {"MiscellaneousTechnical", {0x2300, 0x23FF}},
    {"ControlPictures", {0x2400, 0x243F}},
    {"OpticalCharacterRecognition", {0x2440, 0x245F}},
    {"EnclosedAlphanumerics", {0x2460, 0x24FF}},
    {"BoxDrawing", {0x2500, 0x257F}},
    {"BlockElements", {0x2580, 0x259F}},
    {"GeometricShapes", {0x25A0, 0x25FF}},
    {"MiscellaneousSymbols", {0x2600, 0x26FF}},
    {"Dingbats", {0x2700, 0x27BF}},
    {"BraillePatterns", {0x2800, 0x28FF}},
    {"CJKRadicalsSupplement", {0x2E80, 0x2EFF}},
    {"KangxiRadicals", {0x2F00, 0x2FDF}},
    {"IdeographicDescriptionCharacters", {0x2FF0, 0x2FFF}},
    {"CJKSymbolsandPunctuation", {0x3000, 0x303F}},
    {"Hiragana", {0x3040, 0x309F}},
    {"Katakana", {0x30A0, 0x30FF}},
    {"Bopomofo", {0x3100, 0x312F}},
    {"HangulCompatibilityJamo", {0x3130, 0x318F}},
    {"Kanbun", {0x3190, 0x319F}},
    {"BopomofoExtended", {0x31A0, 0x31BF}},
    {"EnclosedCJKLettersandMonths", {0x3200, 0x32FF}},
    {"CJKCompatibility", {0x3300, 0x33FF}},
    {"CJKUnifiedIdeographsExtensionA", {0x3400, 0x4DB5}},
    {"CJKUnifiedIdeographs", {0x4E00, 0x9FFF}},
    {"YiSyllables", {0xA000, 0xA48F}},
    {"YiRadicals", {0xA490, 0xA4CF}},
    {"HangulSyllables", {0xAC00, 0xD7A3}},
    {"HighSurrogates", {0xD800, 0xDB7F}},
    {"HighPrivateUseSurrogates", {0xDB80, 0xDBFF}},
    {"LowSurrogates", {0xDC00, 0xDFFF}},
    {"PrivateUse", {0xE000, 0xF8FF}},
    {"PrivateUse", {0xF0000, 0xFFFFD}},
    {"PrivateUse", {0x100000, 0x10FFFD}},
    {"CJKCompatibilityIdeographs", {0xF900, 0xFAFF}},
    {"AlphabeticPresentationForms", {0xFB00, 0xFB4F}},
    {"ArabicPresentationForms-A", {0xFB50, 0xFDFF}},
    {"CombiningHalfMarks", {0xFE20, 0xFE2F}},
    {"CJKCompatibilityForms", {0xFE30, 0xFE4F}},
    {"SmallFormVariants", {0xFE50, 0xFE6F}},
    {"ArabicPresentationForms-B", {0xFE70, 0xFEFE}},
    {"Specials", {0xFEFF, 0xFEFF}},
    {"HalfwidthandFullwidthForms", {0xFF00, 0xFFEF}},
    {"Specials", {0xFFF0, 0xFFFD}},
    {"OldItalic", {0x10300, 0x1032F}},
    {"Gothic", {0x10330, 0x1034F}},
    {"Deseret", {0x10400, 0x1044F}},
    {"ByzantineMusicalSymbols", {0x1D000, 0x1D0FF}},
    {"MusicalSymbols", {0x1D100, 0x1D1FF}},
    {"MathematicalAlphanumericSymbols", {0x1D400, 0x1D7FF}},
    {"CJKUnifiedIdeographsExtensionB", {0x20000, 0x2A6D6}},
    {"CJKCompatibilityIdeographsSupplement", {0x2F800, 0x2FA1F}},
    {"Tags", {0xE0000, 0xE007F}},
};

// The general categories of XML Schema 1.0; PCRE2 knows them all by the
// same names.
const char* const kCategories[] = {"L",  "Lu", "Ll", "Lt", "Lm", "Lo", "M",  "Mn", "Mc",
                                   "Me", "N",  "Nd", "Nl", "No", "P",  "Pc", "Pd", "Ps",
                                   "Pe", "Pi", "Pf", "Po", "Z",  "Zs", "Zl", "Zp", "S",
                                   "Sm", "Sc", "Sk", "So", "C",  "Cc", "Cf", "Co", "Cn"};

bool IsHighSurrogate(uint32_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool IsLowSurrogate(uint32_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

void AppendCodePoint(std::string& out, uint32_t cp) {
  if ((cp >= '0' && cp <= '9') || (cp >= 'A' && cp <= 'Z') || (cp >= 'a' && cp <= 'z')) {
    out += static_cast<char>(cp);
    return;
  }
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "\\x{%X}", static_cast<unsigned>(cp));
  out += buffer;
}

// Appends first-last as class items. Surrogate code points never occur in
// UTF-8 text and PCRE2 refuses them in a UTF pattern, so they are cut out.
void AppendRange(std::string& out, uint32_t first, uint32_t last) {
  if (first <= 0xDFFF && last >= 0xD800) {
    if (first < 0xD800) AppendRange(out, first, 0xD7FF);
    if (last > 0xDFFF) AppendRange(out, 0xE000, last);
    return;
  }
  AppendCodePoint(out, first);
  if (last != first) {
    out += '-';
    AppendCodePoint(out, last);
  }
}

// Appends the sorted, disjoint ranges, or their complement in 0..10FFFF.
void AppendRanges(std::string& out, const Range* ranges, size_t count, bool complement) {
  if (!complement) {
    for (size_t i = 0; i < count; ++i) AppendRange(out, ranges[i].first, ranges[i].last);
    return;
  }
  uint32_t next = 0;
  for (size_t i = 0; i < count; ++i) {
    if (ranges[i].first > next) AppendRange(out, next, ranges[i].first - 1);
    next = ranges[i].last + 1;
  }
  if (next <= kMaxCodePoint) AppendRange(out, next, kMaxCodePoint);
}

// One class of a chain [A-[B-[C]]]: A is groups[0], B groups[1], ...
struct Group {
  bool negated = false;
  std::string items;
};

// A set that no character belongs to cannot be written "[]" in PCRE.
std::string GroupText(const Group& g) {
  if (g.items.empty()) return g.negated ? "[\\x{0}-\\x{10FFFF}]" : "(?:(?!))";
  return std::string(g.negated ? "[^" : "[") + g.items + "]";
}

class Translator {
 public:
  Translator(const String& xsd, std::string& out, std::string& error)
      : m_s(xsd.data()), m_n(xsd.size()), m_out(out), m_error(error) {}

  bool Run() {
    m_out.clear();
    m_out.reserve(m_n * 2);
    bool atom = false;  // whether the last item can take a quantifier
    while (m_pos < m_n) {
      size_t start = m_pos;
      switch (m_s[m_pos]) {
        case '(':
          m_out += "(?:";
          ++m_pos;
          atom = false;
          break;
        case ')':
          m_out += ')';
          ++m_pos;
          atom = true;
          break;
        case '|':
          m_out += '|';
          ++m_pos;
          atom = false;
          break;
        case '?':
        case '*':
        case '+':
          if (!atom) return Fail("quantifier does not follow a repeatable item", start);
          m_out += static_cast<char>(m_s[m_pos++]);
          atom = false;
          break;
        case '{':
          if (!atom) return Fail("quantifier does not follow a repeatable item", start);
          if (!Quantity()) return false;
          atom = false;
          break;
        case '}':
          return Fail("unescaped '}'", start);
        case ']':
          return Fail("unescaped ']'", start);
        case '.':
          m_out += "[^\\x{A}\\x{D}]";
          ++m_pos;
          atom = true;
          break;
        case '[':
          if (!CharClass()) return false;
          atom = true;
          break;
        case '\\': {
          uint32_t cp = 0;
          std::string set;
          if (!Escape(set, cp)) return false;
          if (set.empty() && m_lastWasCodePoint) {
            AppendCodePoint(m_out, cp);
          } else {
            Group g;
            g.items = set;
            m_out += GroupText(g);
          }
          atom = true;
          break;
        }
        default: {
          uint32_t cp = 0;
          if (!CodePoint(cp)) return false;
          AppendCodePoint(m_out, cp);
          atom = true;
        }
      }
    }
    return true;
  }

 private:
  bool Fail(const char* what, size_t offset) {
    char buffer[160];
    std::snprintf(buffer, sizeof buffer, "%s at offset %zu", what, offset);
    m_error = buffer;
    return false;
  }

  // One character of the input as a code point; a surrogate pair is one.
  bool CodePoint(uint32_t& cp) {
    uint32_t u = m_s[m_pos];
    if (IsHighSurrogate(u) && m_pos + 1 < m_n && IsLowSurrogate(m_s[m_pos + 1])) {
      cp = 0x10000 + ((u - 0xD800) << 10) + (m_s[m_pos + 1] - 0xDC00);
      m_pos += 2;
      return true;
    }
    if (IsHighSurrogate(u) || IsLowSurrogate(u)) return Fail("unpaired surrogate", m_pos);
    cp = u;
    ++m_pos;
    return true;
  }

  // {n}, {n,} or {n,m}, copied as they are.
  bool Quantity() {
    size_t start = m_pos++;
    std::string text = "{";
    int digits = 0;
    while (m_pos < m_n && m_s[m_pos] >= '0' && m_s[m_pos] <= '9') {
      text += static_cast<char>(m_s[m_pos++]);
      ++digits;
    }
    if (digits == 0) return Fail("invalid quantifier", start);
    if (m_pos < m_n && m_s[m_pos] == ',') {
      text += ',';
      ++m_pos;
      int more = 0;
      while (m_pos < m_n && m_s[m_pos] >= '0' && m_s[m_pos] <= '9') {
        text += static_cast<char>(m_s[m_pos++]);
        ++more;
      }
      digits = std::max(digits, more);
    }
    if (m_pos >= m_n || m_s[m_pos] != '}') return Fail("invalid quantifier", start);
    // PCRE2 takes counts up to 65535; longer digit runs are refused here,
    // before they could overflow anything.
    if (digits > 9) return Fail("number too big in {} quantifier", start);
    ++m_pos;
    m_out += text;
    m_out += '}';
    return true;
  }

  // An escape at m_pos ('\'). A single-character escape sets `cp` and
  // m_lastWasCodePoint; a set escape appends its class items to `set`.
  bool Escape(std::string& set, uint32_t& cp) {
    size_t start = m_pos;
    m_lastWasCodePoint = false;
    if (m_pos + 1 >= m_n) return Fail("\\ at end of pattern", start);
    uint32_t e = m_s[m_pos + 1];
    m_pos += 2;
    switch (e) {
      case 'n':
        cp = 0x0A;
        m_lastWasCodePoint = true;
        return true;
      case 'r':
        cp = 0x0D;
        m_lastWasCodePoint = true;
        return true;
      case 't':
        cp = 0x09;
        m_lastWasCodePoint = true;
        return true;
      case '\\':
      case '|':
      case '.':
      case '?':
      case '*':
      case '+':
      case '(':
      case ')':
      case '{':
      case '}':
      case '-':
      case '[':
      case ']':
      case '^':
        cp = e;
        m_lastWasCodePoint = true;
        return true;
      case 's':
      case 'S':
        AppendRanges(set, kSpaces, sizeof kSpaces / sizeof kSpaces[0], e == 'S');
        return true;
      case 'i':
      case 'I':
        AppendRanges(set, kNameStartChars, sizeof kNameStartChars / sizeof kNameStartChars[0],
                     e == 'I');
        return true;
      case 'c':
      case 'C':
        AppendRanges(set, kNameChars, sizeof kNameChars / sizeof kNameChars[0], e == 'C');
        return true;
      case 'd':
        set += "\\p{Nd}";
        return true;
      case 'D':
        set += "\\P{Nd}";
        return true;
      case 'w':
        set += "\\p{L}\\p{M}\\p{N}\\p{S}";
        return true;
      case 'W':
        set += "\\p{P}\\p{Z}\\p{C}";
        return true;
      case 'p':
      case 'P':
        return Property(set, e == 'P', start);
      default: {
        char what[64];
        if (e > 0x20 && e < 0x7F)
          std::snprintf(what, sizeof what, "\\%c is not an XML Schema escape",
                        static_cast<char>(e));
        else
          std::snprintf(what, sizeof what, "\\ followed by U+%04X is not an XML Schema escape",
                        static_cast<unsigned>(e));
        return Fail(what, start);
      }
    }
  }

  // \p{Name} or \P{Name} after the letter; Name is a general category or
  // Is + a block name.
  bool Property(std::string& set, bool complement, size_t start) {
    if (m_pos >= m_n || m_s[m_pos] != '{') return Fail("malformed \\p or \\P sequence", start);
    ++m_pos;
    std::string name;
    while (m_pos < m_n && m_s[m_pos] != '}') {
      uint32_t c = m_s[m_pos];
      bool ok =
          (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-';
      if (!ok || name.size() > 64) return Fail("malformed \\p or \\P sequence", start);
      name += static_cast<char>(c);
      ++m_pos;
    }
    if (m_pos >= m_n) return Fail("malformed \\p or \\P sequence", start);
    ++m_pos;  // '}'
    if (name.size() > 2 && name.compare(0, 2, "Is") == 0) {
      std::vector<Range> ranges;
      for (const Block& b : kBlocks)
        if (name.compare(2, std::string::npos, b.name) == 0) ranges.push_back(b.range);
      if (ranges.empty()) return Fail("unknown property name after \\p or \\P", start);
      std::sort(ranges.begin(), ranges.end(),
                [](const Range& a, const Range& b) { return a.first < b.first; });
      AppendRanges(set, ranges.data(), ranges.size(), complement);
      return true;
    }
    for (const char* category : kCategories) {
      if (name == category) {
        set += complement ? "\\P{" : "\\p{";
        set += name;
        set += '}';
        return true;
      }
    }
    return Fail("unknown property name after \\p or \\P", start);
  }

  // One item of a class at m_pos: a single code point (returned in `cp`,
  // `single` true) or a set escape (appended to `items`).
  bool ClassAtom(std::string& items, uint32_t& cp, bool& single) {
    if (m_s[m_pos] == '\\') {
      if (!Escape(items, cp)) return false;
      single = m_lastWasCodePoint;
      return true;
    }
    single = true;
    return CodePoint(cp);
  }

  // A character class expression at m_pos ('['), with any chain of
  // subtractions; written as one PCRE class or as nested look-aheads.
  bool CharClass() {
    size_t open = m_pos++;
    std::vector<Group> groups;
    for (;;) {
      Group g;
      if (m_pos < m_n && m_s[m_pos] == '^') {
        g.negated = true;
        ++m_pos;
      }
      bool first = true;
      bool subtract = false;
      for (;;) {
        if (m_pos >= m_n) return Fail("missing terminating ] for character class", open);
        uint32_t c = m_s[m_pos];
        if (c == ']') {
          if (first) return Fail("empty character class", m_pos);
          ++m_pos;
          break;
        }
        if (c == '[') return Fail("'[' must be escaped in a character class", m_pos);
        if (c == '-') {
          bool nextOpens = m_pos + 1 < m_n && m_s[m_pos + 1] == '[';
          bool nextCloses = m_pos + 1 < m_n && m_s[m_pos + 1] == ']';
          if (nextOpens && !first) {
            m_pos += 2;
            subtract = true;
            break;
          }
          if (first || nextCloses) {
            AppendCodePoint(g.items, '-');
            ++m_pos;
            first = false;
            continue;
          }
          return Fail("'-' must be escaped or start a range or a subtraction", m_pos);
        }
        uint32_t low = 0;
        bool single = false;
        if (!ClassAtom(g.items, low, single)) return false;
        first = false;
        if (!single) continue;
        bool range =
            m_pos + 1 < m_n && m_s[m_pos] == '-' && m_s[m_pos + 1] != ']' && m_s[m_pos + 1] != '[';
        if (!range) {
          AppendRange(g.items, low, low);
          continue;
        }
        size_t dash = m_pos++;
        if (m_s[m_pos] == '-') return Fail("invalid range in character class", dash);
        uint32_t high = 0;
        std::string scratch;
        if (!ClassAtom(scratch, high, single)) return false;
        if (!single) return Fail("invalid range in character class", dash);
        if (high < low) return Fail("range out of order in character class", dash);
        AppendRange(g.items, low, high);
      }
      groups.push_back(std::move(g));
      if (!subtract) break;
    }
    // [A-[B]]: once B is closed, A must close at once.
    for (size_t k = 1; k < groups.size(); ++k) {
      if (m_pos >= m_n || m_s[m_pos] != ']')
        return Fail("a subtracted class must end its character class", m_pos);
      ++m_pos;
    }
    // X(k) = (?:(?!X(k+1))G(k)), X(last) = G(last); built from both ends.
    size_t last = groups.size() - 1;
    for (size_t k = 0; k < last; ++k) m_out += "(?:(?!";
    m_out += GroupText(groups[last]);
    for (size_t k = last; k-- > 0;) {
      m_out += ')';
      m_out += GroupText(groups[k]);
      m_out += ')';
    }
    return true;
  }

  const unsigned short* m_s;
  size_t m_n;
  size_t m_pos = 0;
  bool m_lastWasCodePoint = false;
  std::string& m_out;
  std::string& m_error;
};

}  // namespace

bool TranslateXsdPattern(const String& xsd, std::string& pcre, std::string& error) {
  return Translator(xsd, pcre, error).Run();
}

}  // namespace detail
}  // namespace VxVevAva5
