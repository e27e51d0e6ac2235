#pragma once
// For the end-to-end tests' build only: a file system whose moves take at
// least a given time, so that a test can stop a move half-way by clicking
// the movie's buttons, however fast the machine is. QUILLFEN_TEST_MOVE_DELAY_MS
// sets the time; without it moves run at full speed.
#include <chrono>
#include <cstdlib>
#include <thread>

#include "platform/ForwardingFileSystem.h"

namespace quillfen {

class SlowFileSystem : public ForwardingFileSystem {
 public:
  explicit SlowFileSystem(FileSystem& target) : ForwardingFileSystem(target) {
    if (const char* delay = std::getenv("QUILLFEN_TEST_MOVE_DELAY_MS")) delay_ = std::chrono::milliseconds(std::atoi(delay));
  }
  FsStatus MoveFile(const std::string& source, const std::string& target) override {
    std::this_thread::sleep_for(delay_);
    return ForwardingFileSystem::MoveFile(source, target);
  }

 private:
  std::chrono::milliseconds delay_{0};
};

}  // namespace quillfen
