#include "posix/ReadAhead.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

#include "posix/PosixFiles.h"

namespace quillfen::posix {

namespace {
// More hints than this waiting means the reader is far behind the move: the
// oldest are dropped, the move reads them itself by then.
constexpr std::size_t kMostJobs = 16;
constexpr std::size_t kBlock = 1 << 20;
}  // namespace

ReadAhead::~ReadAhead() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  if (worker_.joinable()) worker_.join();
}

void ReadAhead::Request(const std::string& path, std::uint64_t bytes) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (jobs_.size() == kMostJobs) jobs_.pop_front();
    jobs_.push_back({path, bytes});
    if (!worker_.joinable()) worker_ = std::thread([this] { Run(); });
  }
  wake_.notify_one();
}

void ReadAhead::Forget(const std::string& path) {
  std::unique_lock<std::mutex> lock(mutex_);
  std::erase_if(jobs_, [&](const Job& job) { return job.path == path; });
  if (reading_ != path) return;
  abandon_ = true;
  done_.wait(lock, [&] { return reading_ != path; });
}

void ReadAhead::ForgetAll() {
  std::unique_lock<std::mutex> lock(mutex_);
  jobs_.clear();
  if (reading_.empty()) return;
  abandon_ = true;
  done_.wait(lock, [&] { return reading_.empty(); });
}

void ReadAhead::Drain() {
  std::unique_lock<std::mutex> lock(mutex_);
  done_.wait(lock, [&] { return jobs_.empty() && reading_.empty(); });
}

bool ReadAhead::Abandoned() {
  std::lock_guard<std::mutex> lock(mutex_);
  return stopping_ || abandon_;
}

void ReadAhead::Run() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    wake_.wait(lock, [&] { return !jobs_.empty() || stopping_; });
    if (stopping_) return;
    const Job job = std::move(jobs_.front());
    jobs_.pop_front();
    reading_ = job.path;
    abandon_ = false;
    lock.unlock();
    ReadInto(job);
    lock.lock();
    reading_.clear();
    done_.notify_all();
  }
}

// Reads block by block into a buffer that is thrown away: what counts is the
// copy the kernel keeps. Between blocks it looks whether it should stop; the
// file is closed before the job counts as done.
void ReadAhead::ReadInto(const Job& job) {
  // Never waits for a writer of a pipe, never follows a link.
  UniqueFd fd(::open(job.path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
  struct stat st;
  if (!fd.valid() || ::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) return;
  std::vector<char> block(kBlock);
  for (std::uint64_t offset = 0; offset < job.bytes;) {
    if (Abandoned()) return;
    const ssize_t got = ::pread(fd.get(), block.data(), block.size(), static_cast<off_t>(offset));
    if (got <= 0) return;
    offset += static_cast<std::uint64_t>(got);
  }
}

}  // namespace quillfen::posix
