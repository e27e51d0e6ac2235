#pragma once
// Files read into the page cache by a thread of its own, so that a slow card
// goes on reading the next picture while the program flushes the copy of the
// one before and reads it back from the disk. The kernel's own read-ahead
// hint (POSIX_FADV_WILLNEED) reads no more than the device's read-ahead
// window, 128 KiB on most card readers: a small part of a picture.
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <thread>

namespace quillfen::posix {

class ReadAhead {
 public:
  ReadAhead() = default;
  ReadAhead(const ReadAhead&) = delete;
  ReadAhead& operator=(const ReadAhead&) = delete;
  // Stops after the block in hand; what was asked and not read is dropped.
  ~ReadAhead();

  // The first `bytes` of the file are read soon, after those asked before.
  // Nothing is promised: a file that cannot be opened is passed over.
  void Request(const std::string& path, std::uint64_t bytes);
  // The file is no longer read ahead: dropped from what was asked, and when
  // it is being read, left at the next block and closed before this returns.
  // A move calls it first, so that the reader never holds a picture open as
  // it is removed (a FUSE card would keep it as a hidden file).
  void Forget(const std::string& path);
  // Nothing more is read ahead: what was asked is dropped, and a file being
  // read is closed before this returns.
  void ForgetAll();
  // Waits until everything asked so far was read (for tests and benchmarks).
  void Drain();

 private:
  struct Job {
    std::string path;
    std::uint64_t bytes;
  };
  void Run();
  void ReadInto(const Job& job);
  bool Abandoned();

  std::mutex mutex_;
  std::condition_variable wake_;   // a job came, or the end
  std::condition_variable done_;   // a job was done with
  std::deque<Job> jobs_;
  std::string reading_;           // the file being read, empty between jobs
  bool abandon_ = false;          // leave the file being read
  bool stopping_ = false;
  std::thread worker_;  // started with the first request
};

}  // namespace quillfen::posix
