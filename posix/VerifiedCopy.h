#pragma once
// Copying a file so that the copy is known to be right: a checksum of every
// byte read from the source is kept, and the copy, once flushed, is read back
// from the disk itself (not from the memory the system keeps of it) and its
// checksum compared. XXH3 with 128 bits: fast enough to stay out of sight
// next to a card's reading speed, and far beyond chance for a changed byte.
#include <xxhash.h>

#include <cstdint>
#include <span>
#include <string>

namespace quillfen::posix {

struct Checksum {
  XXH128_hash_t hash{};
  std::uint64_t bytes = 0;
  bool operator==(const Checksum& other) const {
    return bytes == other.bytes && XXH128_isEqual(hash, other.hash);
  }
};

// Reads `in` from where it stands to its end, writes every byte to `out` and
// returns in `read` the checksum of what was read. Returns 0 or the errno.
int CopyWithChecksum(int in, int out, Checksum& read);

// The same into several copies from one reading of `in`: each block read is
// written to every one of `outs` before the next is read. On a failed write
// `failedOut` is the index of that copy; on a failed read, outs.size().
int CopyToEach(int in, std::span<const int> outs, Checksum& read, std::size_t& failedOut);

// The checksum of an open file from where it stands to its end. Returns 0
// or the errno.
int ChecksumOfOpenFile(int fd, Checksum& sum);

// The checksum of the file `name` in the open folder `folder`, read from the
// disk: directly where the file system allows it, else after the system has
// been told to forget what it keeps in memory of the file (`open` is the
// file, open, which was flushed before). `expected` is its size as written
// (reads ask for no more). Returns 0 or the errno.
int ChecksumFromDisk(int folder, const std::string& name, int open, std::uint64_t expected, Checksum& onDisk);

}  // namespace quillfen::posix
