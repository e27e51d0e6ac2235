// Lets exiv2 read a picture through a ByteSource, lazily and within a bound.
// Positions and end-of-file behave as in exiv2's own MemIo, which its readers
// are written and tested against.
#include "metadata/ByteSourceIo.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include <exiv2/error.hpp>

namespace quillfen::metadata {
namespace {

// Large enough for the whole metadata of a typical picture in one read, small
// enough to cost little when a reader only wants a few header bytes.
constexpr std::uint64_t kWindowSize = 16 * 1024;

}  // namespace

ByteSourceIo::ByteSourceIo(ByteSource& file, std::uint64_t readLimit)
    : file_(file), fileSize_(file.Size()), shownSize_(fileSize_),
      readLimit_(std::min(readLimit, fileSize_)) {
  // exiv2 keeps positions and sizes in a long.
  const auto longMax = static_cast<std::uint64_t>(std::numeric_limits<long>::max());
  shownSize_ = std::min(shownSize_, longMax);
}

void ByteSourceIo::ShowOnlyPrefix(std::uint64_t prefix) {
  shownSize_ = std::min(shownSize_, prefix);
  readLimit_ = std::min(readLimit_, shownSize_);
  map_.clear();
}

int ByteSourceIo::open() {
  pos_ = 0;
  eof_ = false;
  return 0;
}

bool ByteSourceIo::ReadFully(std::uint64_t offset, Exiv2::byte* out, std::uint64_t n) {
  while (n > 0) {
    const long got = file_.ReadAt(offset, out, static_cast<std::size_t>(n));
    if (got <= 0 || static_cast<std::uint64_t>(got) > n) return false;
    offset += static_cast<std::uint64_t>(got);
    out += got;
    n -= static_cast<std::uint64_t>(got);
  }
  return true;
}

bool ByteSourceIo::Fetch(std::uint64_t offset, Exiv2::byte* out, std::uint64_t n) {
  if (n == 0) return true;
  const bool inWindow = offset >= windowStart_ && offset + n <= windowStart_ + window_.size();
  if (!inWindow) {
    if (n > kWindowSize) return ReadFully(offset, out, n);
    window_.resize(static_cast<std::size_t>(std::min(kWindowSize, readLimit_ - offset)));
    windowStart_ = offset;
    if (!ReadFully(offset, window_.data(), window_.size())) {
      window_.clear();
      return false;
    }
  }
  std::memcpy(out, window_.data() + (offset - windowStart_), static_cast<std::size_t>(n));
  return true;
}

long ByteSourceIo::read(Exiv2::byte* buffer, long count) {
  if (count <= 0) return 0;
  const std::uint64_t asked = static_cast<std::uint64_t>(count);
  const std::uint64_t available = pos_ < shownSize_ ? shownSize_ - pos_ : 0;
  if (asked > available) eof_ = true;
  std::uint64_t allowed = std::min(asked, available);
  const std::uint64_t reachable = pos_ < readLimit_ ? readLimit_ - pos_ : 0;
  if (allowed > reachable) {
    allowed = reachable;
    limitReached_ = true;
    eof_ = true;
  }
  if (!Fetch(pos_, buffer, allowed)) {
    // The file ended early or failed: exiv2 sees a read error and gives up.
    failed_ = true;
    return 0;
  }
  pos_ += allowed;
  return static_cast<long>(allowed);
}

Exiv2::DataBuf ByteSourceIo::read(long count) {
  // Never allocate more than the file can give, whatever size a damaged
  // header asked for.
  const std::uint64_t available = pos_ < shownSize_ ? shownSize_ - pos_ : 0;
  const long size = static_cast<long>(std::min<std::uint64_t>(count > 0 ? count : 0, available));
  Exiv2::DataBuf buffer(size);
  buffer.size_ = read(buffer.pData_, size);
  if (static_cast<std::uint64_t>(count > 0 ? count : 0) > available) eof_ = true;
  return buffer;
}

int ByteSourceIo::getb() {
  Exiv2::byte b = 0;
  return read(&b, 1) == 1 ? b : EOF;
}

void ByteSourceIo::transfer(Exiv2::BasicIo&) {
  throw Exiv2::Error(Exiv2::kerErrorMessage, "pictures are only read");
}

int ByteSourceIo::seek(long offset, Position pos) {
  long base = 0;
  if (pos == cur) base = static_cast<long>(pos_);
  if (pos == end) base = static_cast<long>(shownSize_);
  long target = 0;
  if (__builtin_add_overflow(base, offset, &target) || target < 0) return 1;
  if (static_cast<std::uint64_t>(target) > shownSize_) {
    eof_ = true;
    return 1;
  }
  pos_ = static_cast<std::uint64_t>(target);
  eof_ = false;
  return 0;
}

Exiv2::byte* ByteSourceIo::mmap(bool isWriteable) {
  // Only a file cut to a prefix can be mapped: mapping what the read limit
  // hides would mean reading past it.
  if (isWriteable || shownSize_ > readLimit_) {
    throw Exiv2::Error(Exiv2::kerErrorMessage, "no map of a whole file");
  }
  if (map_.size() != shownSize_) {
    map_.resize(static_cast<std::size_t>(shownSize_));
    const std::uint64_t fromWindow =
        windowStart_ == 0 ? std::min<std::uint64_t>(window_.size(), shownSize_) : 0;
    if (fromWindow > 0) std::memcpy(map_.data(), window_.data(), static_cast<std::size_t>(fromWindow));
    if (!ReadFully(fromWindow, map_.data() + fromWindow, shownSize_ - fromWindow)) {
      map_.clear();
      failed_ = true;
      throw Exiv2::Error(Exiv2::kerFailedToReadImageData);
    }
    if (mapFilter_ != nullptr) mapFilter_(map_);
  }
  // exiv2 wants a pointer even to an empty file.
  static Exiv2::byte empty = 0;
  return map_.empty() ? &empty : map_.data();
}

}  // namespace quillfen::metadata
