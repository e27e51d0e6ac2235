#pragma once
// A temporary folder that is removed with everything in it when the test (or
// the fuzzing process) ends. The path is canonical, so that paths the program
// builds from it compare equal to the test's own.
#include <string>

namespace quillfen::testing {

class TempDir {
 public:
  // Below `parent` (a memory volume for tests with many files), else below
  // the system's temporary folder.
  explicit TempDir(const std::string& parent = "", const std::string& prefix = "quillfen-test");
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return path_; }
  std::string Path(const std::string& relative) const { return path_ + "/" + relative; }
  // Writes a file (creating its folders) and returns its full path.
  std::string Write(const std::string& relative, const std::string& content) const;
  // A file's content; empty when it cannot be read.
  std::string Read(const std::string& relative) const;

 private:
  std::string path_;
};

// Writes bytes to an absolute path, creating its folders; throws on failure.
void WriteFileAt(const std::string& path, const std::string& bytes);
// The whole content of a file; empty when it cannot be read.
std::string ReadFileAt(const std::string& path);

}  // namespace quillfen::testing
