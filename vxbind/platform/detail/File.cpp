// POSIX implementation of the whole-file helpers.
#include "vxbind/platform/detail/File.h"

#include <cerrno>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "vxbind/platform/Utf16.h"

namespace VxVevAva5 {
namespace File {
namespace {

// Closes the descriptor on every path.
struct Fd {
  int fd;
  ~Fd() {
    if (fd >= 0) ::close(fd);
  }
};

int WriteFully(int fd, const unsigned char* data, size_t length) {
  while (length > 0) {
    ssize_t n = ::write(fd, data, length);
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    data += n;
    length -= static_cast<size_t>(n);
  }
  return 0;
}

}  // namespace

int ReadAll(const unsigned short* fileName, std::vector<unsigned char>& data,
            ReadStep* failedStep) {
  ReadStep unused;
  ReadStep& step = failedStep != nullptr ? *failedStep : unused;
  data.clear();
  std::string path = Utf16::ToUtf8(fileName, Utf16::Length(fileName));
  step = ReadStep::kOpen;
  Fd f{::open(path.c_str(), O_RDONLY | O_CLOEXEC)};
  if (f.fd < 0) return errno;
  step = ReadStep::kSize;
  struct stat st;
  if (::fstat(f.fd, &st) != 0) return errno;
  step = ReadStep::kRead;
  if (S_ISDIR(st.st_mode)) return EISDIR;
  // Size from fstat is a hint; files in /proc report 0, so read until EOF.
  size_t capacity = st.st_size > 0 ? static_cast<size_t>(st.st_size) : 4096;
  data.resize(capacity);
  size_t used = 0;
  for (;;) {
    if (used == data.size()) data.resize(data.size() * 2);
    ssize_t n = ::read(f.fd, data.data() + used, data.size() - used);
    if (n < 0) {
      if (errno == EINTR) continue;
      int err = errno;
      data.clear();
      return err;
    }
    if (n == 0) break;
    used += static_cast<size_t>(n);
  }
  data.resize(used);
  return 0;
}

int WriteAll(const unsigned short* fileName, const unsigned char* prefix, size_t prefixLength,
             const unsigned char* data, size_t length) {
  std::string path = Utf16::ToUtf8(fileName, Utf16::Length(fileName));
  Fd f{::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666)};
  if (f.fd < 0) return errno;
  if (int err = WriteFully(f.fd, prefix, prefixLength)) return err;
  if (int err = WriteFully(f.fd, data, length)) return err;
  int fd = f.fd;
  f.fd = -1;
  if (::close(fd) != 0) return errno;
  return 0;
}

}  // namespace File
}  // namespace VxVevAva5

namespace VxVevAva5 {
namespace File {

Writer::~Writer() {
  if (m_fd >= 0) ::close(m_fd);
}

int Writer::Open(const unsigned short* fileName) {
  std::string path = Utf16::ToUtf8(fileName, Utf16::Length(fileName));
  m_fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  return m_fd < 0 ? errno : 0;
}

int Writer::Write(const unsigned char* data, size_t length) {
  if (m_fd < 0) return EBADF;
  return WriteFully(m_fd, data, length);
}

int Writer::Close() {
  int fd = m_fd;
  m_fd = -1;
  if (fd < 0) return EBADF;
  return ::close(fd) != 0 ? errno : 0;
}

}  // namespace File
}  // namespace VxVevAva5
