#include "posix/VerifiedCopy.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <memory>

#include "posix/PosixFiles.h"

namespace quillfen::posix {

namespace {

// Large enough that a card streams at full speed; a multiple of every block
// size, so the same buffer serves direct reads.
constexpr std::size_t kChunk = 1 << 20;
constexpr std::size_t kAlignment = 4096;

struct FreeBuffer {
  void operator()(char* p) const { std::free(p); }
};
using Buffer = std::unique_ptr<char, FreeBuffer>;

Buffer NewBuffer() { return Buffer(static_cast<char*>(std::aligned_alloc(kAlignment, kChunk))); }

struct HashState {
  HashState() : state(XXH3_createState()) { XXH3_128bits_reset(state); }
  ~HashState() { XXH3_freeState(state); }
  HashState(const HashState&) = delete;
  HashState& operator=(const HashState&) = delete;
  XXH3_state_t* state;
};

// Reads `fd` to its end, passing every block on; returns 0 or the errno.
template <typename Take>
int ReadToEnd(int fd, char* buffer, Take take) {
  for (;;) {
    const ssize_t got = ::read(fd, buffer, kChunk);
    if (got == 0) return 0;
    if (got < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    if (const int error = take(buffer, static_cast<std::size_t>(got))) return error;
  }
}

int HashToEnd(int fd, char* buffer, Checksum& sum) {
  HashState hash;
  sum.bytes = 0;
  const int error = ReadToEnd(fd, buffer, [&](const char* data, std::size_t size) {
    XXH3_128bits_update(hash.state, data, size);
    sum.bytes += size;
    return 0;
  });
  sum.hash = XXH3_128bits_digest(hash.state);
  return error;
}

}  // namespace

int CopyWithChecksum(int in, int out, Checksum& read) {
  std::size_t failedOut = 0;
  return CopyToEach(in, std::span<const int>(&out, 1), read, failedOut);
}

int CopyToEach(int in, std::span<const int> outs, Checksum& read, std::size_t& failedOut) {
  failedOut = outs.size();
  Buffer buffer = NewBuffer();
  if (!buffer) return ENOMEM;
  HashState hash;
  read.bytes = 0;
  const int error = ReadToEnd(in, buffer.get(), [&](const char* data, std::size_t size) {
    XXH3_128bits_update(hash.state, data, size);
    read.bytes += size;
    for (std::size_t i = 0; i < outs.size(); ++i) {
      if (const int failed = WriteAll(outs[i], std::string_view(data, size))) {
        failedOut = i;
        return failed;
      }
    }
    return 0;
  });
  read.hash = XXH3_128bits_digest(hash.state);
  return error;
}

int ChecksumOfOpenFile(int fd, Checksum& sum) {
  Buffer buffer = NewBuffer();
  if (!buffer) return ENOMEM;
  return HashToEnd(fd, buffer.get(), sum);
}

int ChecksumFromDisk(int folder, const std::string& name, int open, Checksum& onDisk) {
  Buffer buffer = NewBuffer();
  if (!buffer) return ENOMEM;
  UniqueFd direct(::openat(folder, name.c_str(), O_RDONLY | O_DIRECT | O_CLOEXEC));
  if (direct.valid()) {
    const int error = HashToEnd(direct.get(), buffer.get(), onDisk);
    // A file system may accept the flag and refuse the reads; then the
    // other way is taken.
    if (error != EINVAL) return error;
  }
  // The copy was flushed, so none of what the system keeps of it is newer
  // than the disk: told to forget it, the system reads it from the disk.
  if (const int error = ::posix_fadvise(open, 0, 0, POSIX_FADV_DONTNEED)) return error;
  UniqueFd again(::openat(folder, name.c_str(), O_RDONLY | O_CLOEXEC));
  if (!again.valid()) return errno;
  return HashToEnd(again.get(), buffer.get(), onDisk);
}

}  // namespace quillfen::posix
