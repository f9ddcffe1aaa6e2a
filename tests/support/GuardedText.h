// Test helper: text that ends where readable memory ends.
#ifndef VXBIND_TESTS_SUPPORT_GUARDEDTEXT_H
#define VXBIND_TESTS_SUPPORT_GUARDEDTEXT_H

#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstring>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
#define VXTEST_POISON(p, n) ASAN_POISON_MEMORY_REGION(p, n)
#define VXTEST_UNPOISON(p, n) ASAN_UNPOISON_MEMORY_REGION(p, n)
#else
#define VXTEST_POISON(p, n) ((void)(p), (void)(n))
#define VXTEST_UNPOISON(p, n) ((void)(p), (void)(n))
#endif

#include "vxbind/platform/String.h"

namespace vxtest {

// A copy of a text that ends where readable memory ends. With `slack` 0 the
// terminating NUL is the last unit of a readable page and a page that cannot
// be read at all follows: a function that reads even one unit past the
// terminator faults, in every build. With `slack` 1 to 3 that many units of
// non-zero filler lie between the terminator and the page's end, so that the
// terminator sits elsewhere in an 8-byte word; AddressSanitizer builds mark
// the filler unreadable, so that a read of the rest of the terminator's word
// is reported too.
class GuardedText {
 public:
  explicit GuardedText(const VxVevAva5::String& text, size_t slack = 0) {
    size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
    size_t bytes = (text.size() + 1 + slack) * sizeof(unsigned short);
    m_dataPages = (bytes + page - 1) / page * page;
    m_size = m_dataPages + page;
    void* base = mmap(nullptr, m_size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (base == MAP_FAILED) {
      ADD_FAILURE() << "mmap failed";
      return;
    }
    m_base = static_cast<char*>(base);
    EXPECT_EQ(mprotect(m_base + m_dataPages, page, PROT_NONE), 0);
    m_text = reinterpret_cast<unsigned short*>(m_base + m_dataPages - bytes);
    std::memcpy(m_text, text.data(), text.size() * sizeof(unsigned short));
    m_text[text.size()] = 0;
    m_slack = m_text + text.size() + 1;
    m_slackBytes = slack * sizeof(unsigned short);
    std::memset(m_slack, 0x41, m_slackBytes);
    VXTEST_POISON(m_slack, m_slackBytes);
  }
  GuardedText(const GuardedText&) = delete;
  GuardedText& operator=(const GuardedText&) = delete;
  ~GuardedText() {
    if (m_base == nullptr) return;
    VXTEST_UNPOISON(m_slack, m_slackBytes);
    munmap(m_base, m_size);
  }

  const unsigned short* c_str() const { return m_text; }

 private:
  char* m_base = nullptr;
  size_t m_dataPages = 0;
  size_t m_size = 0;
  unsigned short* m_text = nullptr;
  unsigned short* m_slack = nullptr;
  size_t m_slackBytes = 0;
};

}  // namespace vxtest

#endif  // VXBIND_TESTS_SUPPORT_GUARDEDTEXT_H
