#pragma once
// A private folder for one fuzzing process, removed with its contents when
// the process ends. In memory (/dev/shm) where possible: the targets write
// and flush files on every input.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace quillfen::fuzzing {

class ScratchFolder {
 public:
  explicit ScratchFolder(const std::string& name) {
    path_ = std::string(access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp") + "/quillfen-" + name + ".XXXXXX";
    if (!mkdtemp(path_.data())) std::abort();
  }
  ~ScratchFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

}  // namespace quillfen::fuzzing
