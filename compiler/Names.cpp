#include "Names.h"

#include <algorithm>
#include <cstdio>

namespace vxbindc {

namespace {

bool IsAsciiLetterOrDigit(unsigned char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

// Splits an XML name into words (see Names.h), non-ASCII characters turned
// into words "U<hex>". Malformed UTF-8 cannot come from the document reader.
std::vector<std::string> Words(const std::string& name) {
  std::vector<std::string> words;
  std::string word;
  for (size_t i = 0; i < name.size();) {
    unsigned char c = static_cast<unsigned char>(name[i]);
    if (IsAsciiLetterOrDigit(c)) {
      word += static_cast<char>(c);
      ++i;
      continue;
    }
    if (!word.empty()) words.push_back(word);
    word.clear();
    if (c < 0x80) {
      ++i;
      continue;
    }
    size_t length = 0;
    unsigned long cp = CodePointAt(name, i, &length);
    char hex[32];
    std::snprintf(hex, sizeof hex, "U%04lX", cp);
    words.push_back(hex);
    i += length;
  }
  if (!word.empty()) words.push_back(word);
  return words;
}

char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }
char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
bool IsUpper(char c) { return c >= 'A' && c <= 'Z'; }
bool IsLower(char c) { return c >= 'a' && c <= 'z'; }

}  // namespace

unsigned long CodePointAt(const std::string& utf8, size_t i, size_t* length) {
  unsigned char c = static_cast<unsigned char>(utf8[i]);
  *length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : 2;
  unsigned long cp = c & (*length == 4 ? 0x07u : *length == 3 ? 0x0Fu : 0x1Fu);
  for (size_t k = 1; k < *length && i + k < utf8.size(); ++k)
    cp = (cp << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3Fu);
  return cp;
}

std::string PascalCase(const std::string& xmlName) {
  std::string result;
  for (std::string word : Words(xmlName)) {
    word[0] = Upper(word[0]);
    result += word;
  }
  return result.empty() ? "_" : result;
}

std::string CamelCase(const std::string& xmlName) {
  std::string name = PascalCase(xmlName);
  // Lower the leading capitals, but leave the last of a run that starts the
  // next word: "USPrice" -> "usPrice".
  size_t run = 0;
  while (run < name.size() && IsUpper(name[run])) ++run;
  if (run > 1 && run < name.size() && IsLower(name[run])) --run;
  if (run == 0 && !name.empty() && IsUpper(name[0])) run = 1;
  for (size_t i = 0; i < run; ++i) name[i] = Lower(name[i]);
  return name;
}

std::string IdentifierPart(const std::string& value) {
  if (value.empty()) return "empty";
  std::string result;
  for (const std::string& word : Words(value)) {
    if (!result.empty()) result += '_';
    result += word;
  }
  return result.empty() ? "_" : result;
}

NameSet::NameSet(const std::vector<std::string>& reserved)
    : m_names(reserved.begin(), reserved.end()) {}

std::string NameSet::Claim(
    const std::string& wanted,
    const std::function<std::vector<std::string>(const std::string&)>& derive) {
  // Runs of underscores become one ("Odd__" -> "Odd_"): tidier, and never
  // the start of a reserved identifier.
  std::string base;
  for (char c : wanted)
    if (c != '_' || base.empty() || base.back() != '_') base += c;
  // A leading _ would make "_FromString" and the like reserved identifiers.
  if (!base.empty() && base[0] == '_') base = "x" + base;
  int& next = m_next[base];
  for (int n = std::max(next, 1);; ++n) {
    std::string stem = n == 1 ? base : base + std::to_string(n);
    std::vector<std::string> names = derive(stem);
    bool free = true;
    for (const std::string& name : names) free = free && !Taken(name);
    if (!free) continue;
    m_names.insert(names.begin(), names.end());
    next = n + 1;
    return stem;
  }
}

std::string NameSet::Claim(const std::string& base) {
  return Claim(base, [](const std::string& stem) { return std::vector<std::string>{stem}; });
}

bool Unusable(const std::string& identifier) {
  static const std::set<std::string> names = {
      // Keywords, alternative tokens and identifiers with a special meaning.
      "alignas", "alignof", "and", "and_eq", "asm", "auto", "bitand", "bitor", "bool", "break",
      "case", "catch", "char", "char8_t", "char16_t", "char32_t", "class", "compl", "concept",
      "const", "consteval", "constexpr", "constinit", "const_cast", "continue", "co_await",
      "co_return", "co_yield", "decltype", "default", "delete", "do", "double", "dynamic_cast",
      "else", "enum", "explicit", "export", "extern", "false", "float", "for", "friend", "goto",
      "if", "import", "inline", "int", "long", "module", "mutable", "namespace", "new",
      "noexcept", "not", "not_eq", "nullptr", "operator", "or", "or_eq", "override", "final",
      "private", "protected", "public", "register", "reinterpret_cast", "requires", "return",
      "short", "signed", "sizeof", "static", "static_assert", "static_cast", "struct", "switch",
      "template", "this", "thread_local", "throw", "true", "try", "typedef", "typeid",
      "typename", "union", "unsigned", "using", "virtual", "void", "volatile", "wchar_t",
      "while", "xor", "xor_eq",
      // Macros of the standard headers, POSIX and glibc, and common ones.
      "NULL", "EOF", "WEOF", "BUFSIZ", "TRUE", "FALSE", "DEBUG", "NDEBUG", "errno", "assert",
      "linux", "unix", "i386", "major", "minor", "makedev", "min", "max", "stdin", "stdout",
      "stderr", "offsetof", "setjmp", "va_arg", "va_start", "va_end", "va_copy", "alloca",
      "INFINITY", "NAN", "HUGE_VAL", "HUGE_VALF", "HUGE_VALL", "EDOM", "ERANGE", "EILSEQ",
      "EPERM", "ENOENT", "ESRCH", "EINTR", "EIO", "ENXIO", "E2BIG", "ENOEXEC", "EBADF",
      "ECHILD", "EAGAIN", "ENOMEM", "EACCES", "EFAULT", "EBUSY", "EEXIST", "EXDEV", "ENODEV",
      "ENOTDIR", "EISDIR", "EINVAL", "ENFILE", "EMFILE", "ENOTTY", "EFBIG", "ENOSPC", "ESPIPE",
      "EROFS", "EMLINK", "EPIPE", "EDEADLK", "ENAMETOOLONG", "ENOLCK", "ENOSYS", "ENOTEMPTY",
      "ELOOP", "EWOULDBLOCK", "ETIMEDOUT", "EOVERFLOW", "SIGABRT", "SIGFPE", "SIGILL",
      "SIGINT", "SIGSEGV", "SIGTERM", "SIGHUP", "SIGKILL", "SIGPIPE", "SIGALRM", "SIGCHLD",
      "SIGUSR1", "SIGUSR2", "SIG_DFL", "SIG_IGN", "SIG_ERR", "CHAR_BIT", "CHAR_MIN",
      "CHAR_MAX", "SCHAR_MIN", "SCHAR_MAX", "UCHAR_MAX", "SHRT_MIN", "SHRT_MAX", "USHRT_MAX",
      "INT_MIN", "INT_MAX", "UINT_MAX", "LONG_MIN", "LONG_MAX", "ULONG_MAX", "LLONG_MIN",
      "LLONG_MAX", "ULLONG_MAX", "MB_LEN_MAX", "SIZE_MAX", "PATH_MAX", "RAND_MAX",
      "EXIT_SUCCESS", "EXIT_FAILURE", "SEEK_SET", "SEEK_CUR", "SEEK_END", "FILENAME_MAX",
      "FOPEN_MAX", "TMP_MAX", "CLOCKS_PER_SEC", "FLT_MAX", "FLT_MIN", "DBL_MAX", "DBL_MIN",
      "FLT_EPSILON", "DBL_EPSILON", "BIG_ENDIAN", "LITTLE_ENDIAN", "BYTE_ORDER", "PDP_ENDIAN",
      "FD_SETSIZE", "NSIG", "INT8_MIN", "INT8_MAX", "UINT8_MAX", "INT16_MIN", "INT16_MAX",
      "UINT16_MAX", "INT32_MIN", "INT32_MAX", "UINT32_MAX", "INT64_MIN", "INT64_MAX",
      "UINT64_MAX", "INTMAX_MIN", "INTMAX_MAX", "UINTMAX_MAX", "PTRDIFF_MIN", "PTRDIFF_MAX",
      // The runtime's (and its header guards, below).
      "VX_T", "VXBIND_EXPORT", "VXBIND_NO_EXPORT", "VXBIND_DEPRECATED", "VXBIND_DEPRECATED_EXPORT",
      "VXBIND_DEPRECATED_NO_EXPORT", "VXBIND_VERSION_MAJOR", "VXBIND_VERSION_MINOR",
      "VXBIND_VERSION_PATCH", "VXBIND_VERSION_STRING"};
  if (names.count(identifier)) return true;
  // Every rule below is one that a number appended to a name mends, so that
  // NameSet::Claim always ends.
  const size_t n = identifier.size();
  if (identifier.compare(0, 7, "VXBIND_") == 0 && n > 2 && identifier.compare(n - 2, 2, "_H") == 0)
    return true;
  // Reserved everywhere: __ or _ and a capital first. (A claimed base never
  // starts with _, and its derived names only add to its end.)
  return n > 1 && identifier[0] == '_' &&
         (identifier[1] == '_' || (identifier[1] >= 'A' && identifier[1] <= 'Z'));
}

const std::vector<std::string>& ReservedTypeNames() {
  static const std::vector<std::string> names = {"CreateRootObject", "CreateObject",
                                                 "ClassNumber"};
  return names;
}

const std::vector<std::string>& ReservedMemberNames() {
  // The Get, Set, IsValid and Remove members of CXmlObjectBase and
  // CXmlGeneratedClass (a test holds the list to their headers), and the
  // other members that generated code overrides or calls.
  static const std::vector<std::string> names = {
      "GetBase", "GetClassAttributeInfo", "GetClassElementInfo", "GetClassElementInfoCount",
      "GetClassInfo", "GetElementName", "GetNamespace", "GetTargetNamespace", "SetElementName",
      "IsElementInList", "IsNamespaceValid", "AccessProperty", "ReadProperty", "Init", "OnEvent",
      "AddRef", "Release", "ToXml", "FromXml", "m_elementName", "m_chosen", "GetAllGroupOrder",
      "m_allGroupOrder", "IsXsiNil", "SetXsiNil", "IsXsiNillable", "SetXsiNillable", "AccessNil",
      "GetMixedRuns", "SetMixedRuns", "SetMixedRun", "AppendMixedRun", "ClearMixedRuns",
      "GetMixedContent", "IsMixed"};
  return names;
}

}  // namespace vxbindc
