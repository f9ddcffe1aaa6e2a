#include "vxbind/document/detail/ByteSource.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>

#include "vxbind/base/Exceptions.h"
#include "vxbind/platform/Format.h"
#include "vxbind/platform/Utf16.h"
#include "vxbind/values/detail/Compression.h"

namespace VxVevAva5 {
namespace detail {
namespace {

class Memory final : public ByteSource {
 public:
  Memory(const unsigned char* prefix, size_t prefixLength, const unsigned char* data,
         size_t length)
      : m_prefix(prefix), m_prefixLength(prefixLength), m_data(data), m_left(length) {}

  bool Next(const unsigned char*& data, size_t& length) override {
    if (m_prefixLength != 0) {
      data = m_prefix;
      length = m_prefixLength;
      m_prefixLength = 0;
      return true;
    }
    if (m_left == 0) return false;
    length = std::min(m_left, kPieceBytes);
    data = m_data;
    m_data += length;
    m_left -= length;
    return true;
  }

 private:
  const unsigned char* m_prefix;
  size_t m_prefixLength;
  const unsigned char* m_data;
  size_t m_left;
};

class File final : public ByteSource {
 public:
  explicit File(const unsigned short* path) : m_path(Utf16::Make(path)) {
    std::string name = Utf16::ToUtf8(path, Utf16::Length(path));
    m_fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
    if (m_fd < 0) Fail(VX_T("Failed to open the file [%s] Error [0x%08x]"), errno);
    struct stat st;
    if (::fstat(m_fd, &st) != 0) Fail(VX_T("Failed to get the size of the file [%s] Error [0x%08x]"), errno);
    if (S_ISDIR(st.st_mode)) Fail(VX_T("Failed to read the contents of the file [%s] Error [0x%08x]"), EISDIR);
  }
  ~File() override {
    if (m_fd >= 0) ::close(m_fd);
  }

  bool Next(const unsigned char*& data, size_t& length) override {
    if (m_buffer.empty()) m_buffer.resize(kPieceBytes);
    for (;;) {
      ssize_t n = ::read(m_fd, m_buffer.data(), m_buffer.size());
      if (n < 0) {
        if (errno == EINTR) continue;
        Fail(VX_T("Failed to read the contents of the file [%s] Error [0x%08x]"), errno);
      }
      if (n == 0) return false;
      data = m_buffer.data();
      length = static_cast<size_t>(n);
      return true;
    }
  }

 private:
  [[noreturn]] void Fail(const unsigned short* format, int error) {
    if (m_fd >= 0) ::close(m_fd);
    m_fd = -1;
    throw CVxException(FormatString(format, m_path.c_str(), static_cast<unsigned>(error)));
  }

  String m_path;
  int m_fd = -1;
  std::vector<unsigned char> m_buffer;
};

class Stream final : public ByteSource {
 public:
  explicit Stream(std::istream& in) : m_in(in) {}

  bool Next(const unsigned char*& data, size_t& length) override {
    if (m_buffer.empty()) m_buffer.resize(kPieceBytes);
    if (m_in.bad() || (m_in.fail() && !m_in.eof())) ThrowBad();
    if (m_in.eof()) return false;
    m_in.read(reinterpret_cast<char*>(m_buffer.data()),
              static_cast<std::streamsize>(m_buffer.size()));
    if (m_in.bad()) ThrowBad();
    std::streamsize n = m_in.gcount();
    if (n <= 0) return false;
    data = m_buffer.data();
    length = static_cast<size_t>(n);
    return true;
  }

 private:
  [[noreturn]] static void ThrowBad() {
    throw CVxException(String(VX_T("Failed to read from the input stream")));
  }

  std::istream& m_in;
  std::vector<unsigned char> m_buffer;
};

class Headed final : public ByteSource {
 public:
  Headed(std::unique_ptr<ByteSource> inner, std::vector<unsigned char> head)
      : m_inner(std::move(inner)), m_head(std::move(head)) {}

  bool Next(const unsigned char*& data, size_t& length) override {
    if (!m_headGiven) {
      m_headGiven = true;
      if (!m_head.empty()) {
        data = m_head.data();
        length = m_head.size();
        return true;
      }
    }
    if (!m_head.empty()) std::vector<unsigned char>().swap(m_head);
    return m_inner->Next(data, length);
  }

 private:
  std::unique_ptr<ByteSource> m_inner;
  std::vector<unsigned char> m_head;
  bool m_headGiven = false;
};

class Inflating final : public ByteSource {
 public:
  explicit Inflating(std::unique_ptr<ByteSource> inner)
      : m_inner(std::move(inner)), m_buffer(kPieceBytes) {}

  bool Next(const unsigned char*& data, size_t& length) override {
    for (;;) {
      if (m_ended) {
        // Whatever follows the stream's end is not read, as for whole input.
        return false;
      }
      if (m_inLength == 0) {
        if (!m_inner->Next(m_in, m_inLength)) {
          m_inflater.CheckEnded(m_ended);
          return false;
        }
        continue;
      }
      size_t produced =
          m_inflater.Inflate(m_in, m_inLength, m_buffer.data(), m_buffer.size(), m_ended);
      if (produced != 0) {
        data = m_buffer.data();
        length = produced;
        return true;
      }
    }
  }

 private:
  std::unique_ptr<ByteSource> m_inner;
  StreamInflater m_inflater;
  std::vector<unsigned char> m_buffer;
  const unsigned char* m_in = nullptr;
  size_t m_inLength = 0;
  bool m_ended = false;
};

}  // namespace

std::unique_ptr<ByteSource> MemorySource(const unsigned char* prefix, size_t prefixLength,
                                         const unsigned char* data, size_t length) {
  return std::unique_ptr<ByteSource>(new Memory(prefix, prefixLength, data, length));
}

std::unique_ptr<ByteSource> FileSource(const unsigned short* path) {
  return std::unique_ptr<ByteSource>(new File(path));
}

std::unique_ptr<ByteSource> StreamSource(std::istream& in) {
  return std::unique_ptr<ByteSource>(new Stream(in));
}

std::unique_ptr<ByteSource> PeekHead(std::unique_ptr<ByteSource> source,
                                     std::vector<unsigned char>& head, size_t count) {
  head.clear();
  const unsigned char* data;
  size_t length;
  while (head.size() < count && source->Next(data, length))
    head.insert(head.end(), data, data + length);
  return std::unique_ptr<ByteSource>(new Headed(std::move(source), head));
}

std::unique_ptr<ByteSource> InflatingSource(std::unique_ptr<ByteSource> source) {
  return std::unique_ptr<ByteSource>(new Inflating(std::move(source)));
}

}  // namespace detail
}  // namespace VxVevAva5
