// The fixture of the tests that run the vxbindc program itself: a directory
// of its own per test, the schemas written into it, and the program's status,
// output and files.
#ifndef VXBIND_TESTS_COMPILER_PROGRAMTESTING_H
#define VXBIND_TESTS_COMPILER_PROGRAMTESTING_H

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

namespace program_testing {

namespace fs = std::filesystem;

struct Result {
  int status = -1;
  std::string out;
  std::string err;
};

class ProgramTest : public testing::Test {
 protected:
  void SetUp() override {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp ? tmp : "/tmp") + "/vxbindc_XXXXXX";
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    m_dir = pattern;
  }
  void TearDown() override { fs::remove_all(m_dir); }

  static std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

  fs::path Write(const std::string& name, const std::string& text) {
    fs::path path = m_dir / name;
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
    return path;
  }

  // Runs vxbindc with `arguments` (shell words) in the test's directory.
  Result Run(const std::string& arguments) {
    std::string command = "cd '" + m_dir.string() + "' && '" VXBINDC_PROGRAM "' " + arguments +
                          " >stdout.txt 2>stderr.txt";
    int status = std::system(command.c_str());
    Result result;
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.out = ReadFile(m_dir / "stdout.txt");
    result.err = ReadFile(m_dir / "stderr.txt");
    fs::remove(m_dir / "stdout.txt");
    fs::remove(m_dir / "stderr.txt");
    return result;
  }

  std::set<std::string> FilesIn(const std::string& directory) {
    std::set<std::string> names;
    if (!fs::exists(m_dir / directory)) return names;
    for (const auto& entry : fs::directory_iterator(m_dir / directory))
      names.insert(entry.path().filename().string());
    return names;
  }

  fs::path m_dir;
};

}  // namespace program_testing

#endif  // VXBIND_TESTS_COMPILER_PROGRAMTESTING_H
