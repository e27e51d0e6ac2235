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
constexpr std::uint64_t kUnknownSize = UINT64_MAX;

struct FreeBuffer {
  void operator()(char* p) const { std::free(p); }
};

// Each thread's buffer, kept for its next copy: taken anew for each of many
// small pictures, the memory would be mapped and unmapped each time, which
// stops every other thread of the program for a moment.
char* ThreadBuffer() {
  thread_local std::unique_ptr<char, FreeBuffer> buffer(static_cast<char*>(std::aligned_alloc(kAlignment, kChunk)));
  return buffer.get();
}

struct HashState {
  HashState() : state(XXH3_createState()) { XXH3_128bits_reset(state); }
  ~HashState() { XXH3_freeState(state); }
  HashState(const HashState&) = delete;
  HashState& operator=(const HashState&) = delete;
  XXH3_state_t* state;
};

// Reads `fd` to its end, passing every block on; returns 0 or the errno.
// No read asks for much more than the `expected` size's rest (whole blocks
// of it): a direct read past the end of a file has the system fill the rest
// of the buffer with zeros, a mebibyte for every small picture.
template <typename Take>
int ReadToEnd(int fd, char* buffer, Take take, std::uint64_t expected = kUnknownSize) {
  for (std::uint64_t done = 0;;) {
    const std::uint64_t rest = expected > done ? expected - done : 0;
    const std::size_t ask = rest < kChunk ? static_cast<std::size_t>((rest / kAlignment + 1) * kAlignment) : kChunk;
    const ssize_t got = ::read(fd, buffer, ask);
    if (got == 0) return 0;
    if (got < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    done += static_cast<std::uint64_t>(got);
    if (const int error = take(buffer, static_cast<std::size_t>(got))) return error;
  }
}

int HashToEnd(int fd, char* buffer, Checksum& sum, std::uint64_t expected = kUnknownSize) {
  HashState hash;
  sum.bytes = 0;
  const int error = ReadToEnd(
      fd, buffer,
      [&](const char* data, std::size_t size) {
        XXH3_128bits_update(hash.state, data, size);
        sum.bytes += size;
        return 0;
      },
      expected);
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
  char* const buffer = ThreadBuffer();
  if (!buffer) return ENOMEM;
  HashState hash;
  read.bytes = 0;
  const int error = ReadToEnd(in, buffer, [&](const char* data, std::size_t size) {
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
  char* const buffer = ThreadBuffer();
  if (!buffer) return ENOMEM;
  return HashToEnd(fd, buffer, sum);
}

int ChecksumFromDisk(int folder, const std::string& name, int open, std::uint64_t expected, Checksum& onDisk) {
  char* const buffer = ThreadBuffer();
  if (!buffer) return ENOMEM;
  // The open copy itself read directly, where the file system lets it: no
  // second open, no second look-up of its name.
  const int flags = ::fcntl(open, F_GETFL);
  if (flags >= 0 && ::fcntl(open, F_SETFL, flags | O_DIRECT) == 0) {
    const int error = ::lseek(open, 0, SEEK_SET) == 0 ? HashToEnd(open, buffer, onDisk, expected) : errno;
    (void)::fcntl(open, F_SETFL, flags);
    // A file system may accept the flag and refuse the reads; then another
    // way is taken.
    if (error != EINVAL) return error;
  }
  UniqueFd direct(::openat(folder, name.c_str(), O_RDONLY | O_DIRECT | O_CLOEXEC));
  if (direct.valid()) {
    const int error = HashToEnd(direct.get(), buffer, onDisk, expected);
    if (error != EINVAL) return error;
  }
  // The copy was flushed, so none of what the system keeps of it is newer
  // than the disk: told to forget it, the system reads it from the disk.
  if (const int error = ::posix_fadvise(open, 0, 0, POSIX_FADV_DONTNEED)) return error;
  UniqueFd again(::openat(folder, name.c_str(), O_RDONLY | O_CLOEXEC));
  if (!again.valid()) return errno;
  return HashToEnd(again.get(), buffer, onDisk);
}

}  // namespace quillfen::posix
