// ByteSinks.cpp - the writing entry points' destinations.
#include "vxbind/writers/detail/ByteSinks.h"

#include <exception>
#include <ostream>

#include "vxbind/base/Exceptions.h"
#include "vxbind/platform/Format.h"

namespace VxVevAva5 {
namespace detail {

void FileSink::Fail(int error) const {
  throw CVxException(FormatString(VX_T("Failed to write data to the file [%s] error [0x%08X]"),
                                  m_fileName.c_str(), static_cast<unsigned>(error)));
}

void FileSink::Open() {
  if (int error = m_file.Open(m_fileName.c_str())) Fail(error);
  m_open = true;
}

void FileSink::Write(const unsigned char* data, size_t length) {
  if (!m_open) Open();
  if (int error = m_file.Write(data, length)) Fail(error);
}

void FileSink::Close() {
  if (!m_open) Open();
  m_open = false;
  if (int error = m_file.Close()) Fail(error);
}

namespace {

[[noreturn]] void ThrowStreamFailed(uint64_t written, const char* what) {
  String message = FormatString(VX_T("The output stream failed after [%I64u] bytes were written to it"),
                                static_cast<unsigned long long>(written));
  if (what != nullptr) message += FormatString(VX_T(" [%hs]"), what);
  throw CVxException(message);
}

}  // namespace

StreamSink::StreamSink(std::ostream& out) : m_out(out) {
  if (!m_out) ThrowStreamFailed(0, nullptr);
}

void StreamSink::Write(const unsigned char* data, size_t length) {
  // A stream whose exceptions are on throws its own failure (or what its
  // buffer threw): it becomes the same CVxException, with its message.
  try {
    m_out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(length));
  } catch (const std::exception& e) {
    ThrowStreamFailed(m_written, e.what());
  }
  if (!m_out) ThrowStreamFailed(m_written, nullptr);
  m_written += length;
}

void StreamSink::Finish() {
  try {
    m_out.flush();
  } catch (const std::exception& e) {
    ThrowStreamFailed(m_written, e.what());
  }
  if (!m_out) ThrowStreamFailed(m_written, nullptr);
}

CallbackSink::CallbackSink(const Function& function) : m_function(function) {
  if (!m_function) throw CVxInvalidParamException(VX_T("The callback to write to is empty"));
}

}  // namespace detail
}  // namespace VxVevAva5
