// Test helpers for byte output: buffers as std::string, inflating, files.
#ifndef VXBIND_TESTS_SUPPORT_BYTES_H
#define VXBIND_TESTS_SUPPORT_BYTES_H

#include <gtest/gtest.h>
#include <unistd.h>
#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <string>

#include "vxbind/platform/Utf16.h"
#include "vxbind/values/BinaryData.h"

namespace vxtest {

// The bytes of a buffer, for EXPECT_EQ.
inline std::string AsBytes(const VxVevAva5::CBinaryData& d) {
  return std::string(reinterpret_cast<const char*>(d.GetData()), d.GetLength());
}

inline VxVevAva5::CBinaryData MakeBytes(std::initializer_list<int> bytes) {
  std::string b;
  for (int x : bytes) b.push_back(static_cast<char>(x));
  return VxVevAva5::CBinaryData(reinterpret_cast<const unsigned char*>(b.data()),
                                static_cast<uint32_t>(b.size()));
}

// UTF-16 little-endian bytes of a UTF-8 text, without a byte order mark.
inline std::string Utf16Le(const std::string& utf8) {
  std::string out;
  for (unsigned short u : VxVevAva5::Utf16::FromUtf8(utf8.data(), utf8.size()))
    out += {static_cast<char>(u & 0xFF), static_cast<char>(u >> 8)};
  return out;
}

// Compresses with deflate: window bits 31 give a gzip wrapper, 15 zlib.
inline std::string Deflate(const std::string& in, int windowBits,
                           int strategy = Z_DEFAULT_STRATEGY) {
  z_stream zs{};
  EXPECT_EQ(deflateInit2(&zs, 6, Z_DEFLATED, windowBits, 8, strategy), Z_OK);
  std::string out(deflateBound(&zs, in.size()) + 32, '\0');
  zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.data()));
  zs.avail_in = static_cast<uInt>(in.size());
  zs.next_out = reinterpret_cast<Bytef*>(&out[0]);
  zs.avail_out = static_cast<uInt>(out.size());
  EXPECT_EQ(deflate(&zs, Z_FINISH), Z_STREAM_END);
  out.resize(zs.total_out);
  deflateEnd(&zs);
  return out;
}

// Inflates gzip or zlib data (window bits 47 recognise either wrapper).
inline std::string Inflate(const std::string& in) {
  z_stream s{};
  EXPECT_EQ(inflateInit2(&s, 47), Z_OK);
  s.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.data()));
  s.avail_in = static_cast<uInt>(in.size());
  std::string out;
  int rc = Z_OK;
  while (rc == Z_OK) {
    char piece[4096];
    s.next_out = reinterpret_cast<Bytef*>(piece);
    s.avail_out = sizeof piece;
    rc = inflate(&s, Z_NO_FLUSH);
    out.append(piece, sizeof piece - s.avail_out);
  }
  EXPECT_EQ(rc, Z_STREAM_END);
  inflateEnd(&s);
  return out;
}

// A file name of this process under $TMPDIR (or /tmp).
inline std::string TempPath(const std::string& name) {
  const char* dir = std::getenv("TMPDIR");
  return std::string(dir != nullptr ? dir : "/tmp") + "/vxbind_" + std::to_string(::getpid()) +
         "_" + name;
}

// The whole file, or "" when it cannot be read.
inline std::string ReadFileBytes(const std::string& path) {
  std::string data;
  if (FILE* f = std::fopen(path.c_str(), "rb")) {
    char piece[4096];
    size_t n;
    while ((n = std::fread(piece, 1, sizeof piece, f)) != 0) data.append(piece, n);
    std::fclose(f);
  }
  return data;
}

// Writes `data` as the whole file; false when it cannot be written.
inline bool WriteFileBytes(const std::string& path, const std::string& data) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return false;
  bool ok = std::fwrite(data.data(), 1, data.size(), f) == data.size();
  return std::fclose(f) == 0 && ok;
}

}  // namespace vxtest

#endif  // VXBIND_TESTS_SUPPORT_BYTES_H
