// -----------------------------------------------------------------------------
// File: File.h
// -----------------------------------------------------------------------------
//
// Whole-file reading and writing with POSIX calls. File names are UTF-16 and
// are converted to UTF-8 for the file system. Failures are reported as the
// `errno` value of the call that failed (0 on success); the callers turn that
// code into the library's messages ("... Error [0x%08x]").

#ifndef VXBIND_PLATFORM_DETAIL_FILE_H
#define VXBIND_PLATFORM_DETAIL_FILE_H

#include <cstddef>
#include <vector>

namespace VxVevAva5 {
namespace File {

// The step of ReadAll that failed.
enum class ReadStep { kOpen, kSize, kRead };

// Reads the whole file into `data` (replacing its contents). Returns 0 or the
// errno of the failing call, whose step goes to `failedStep` when it is not
// null; on failure `data` is left empty. A directory opens but cannot be read.
int ReadAll(const unsigned short* fileName, std::vector<unsigned char>& data,
            ReadStep* failedStep = nullptr);

// Creates or truncates the file and writes `prefix` (may be empty) followed
// by `data`. Returns 0 or the errno of the failing call.
int WriteAll(const unsigned short* fileName, const unsigned char* prefix, size_t prefixLength,
             const unsigned char* data, size_t length);

}  // namespace File
}  // namespace VxVevAva5


namespace VxVevAva5 {
namespace File {

// A file written piece by piece. Each call returns 0 or the errno of the
// failing call; the destructor closes a file still open (its error is then
// lost: call Close to see it).
class Writer {
 public:
  Writer() = default;
  ~Writer();
  Writer(const Writer&) = delete;
  Writer& operator=(const Writer&) = delete;

  // Creates or truncates the file.
  int Open(const unsigned short* fileName);
  // Writes all `length` bytes.
  int Write(const unsigned char* data, size_t length);
  // Closes the file; its error too (a full disk may show only here).
  int Close();

 private:
  int m_fd = -1;
};

}  // namespace File
}  // namespace VxVevAva5

#endif  // VXBIND_PLATFORM_DETAIL_FILE_H
