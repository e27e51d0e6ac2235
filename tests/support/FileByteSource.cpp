// A real file for the metadata reader, read with pread and counted.
#include "support/FileByteSource.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>

namespace quillfen::testing {

FileByteSource::FileByteSource(const std::string& path) {
  fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  struct stat info{};
  if (fd_ < 0 || ::fstat(fd_, &info) != 0) {
    if (fd_ >= 0) ::close(fd_);
    throw std::runtime_error("cannot open " + path);
  }
  size_ = static_cast<std::uint64_t>(info.st_size);
}

FileByteSource::~FileByteSource() { ::close(fd_); }

long FileByteSource::ReadAt(std::uint64_t offset, void* buffer, std::size_t n) {
  ssize_t got;
  do {
    got = ::pread(fd_, buffer, n, static_cast<off_t>(offset));
  } while (got < 0 && errno == EINTR);
  if (got > 0) bytesRead += static_cast<std::uint64_t>(got);
  return got < 0 ? -1 : static_cast<long>(got);
}

}  // namespace quillfen::testing
