#pragma once
// Lets exiv2 read a picture through a ByteSource, lazily and within a bound,
// instead of opening the file itself.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include <exiv2/basicio.hpp>

#include "metadata/ByteSource.h"

namespace quillfen::metadata {

class ByteSourceIo final : public Exiv2::BasicIo {
 public:
  // Shows exiv2 the whole file but hands out none of its bytes at or past
  // readLimit: a reader that wants them sees the file end there.
  ByteSourceIo(ByteSource& file, std::uint64_t readLimit);

  // From now on the file looks as if it ended after its first `prefix`
  // bytes. For readers that map the file and walk offsets in memory: a map
  // of the whole file would read all of it.
  void ShowOnlyPrefix(std::uint64_t prefix);

  // Runs over the bytes a reader maps before it gets them.
  using MapFilter = void (*)(std::span<Exiv2::byte> bytes);
  void FilterMapWith(MapFilter filter) { mapFilter_ = filter; }

  // Whether a read was refused (or cut short) at the read limit rather than
  // at the real end of the file: what was decoded before it is still sound.
  bool LimitReached() const { return limitReached_; }
  // Whether the whole file was within reach.
  bool SeesWholeFile() const { return readLimit_ >= fileSize_; }

  int open() override;
  int close() override { return 0; }
  long write(const Exiv2::byte*, long) override { return 0; }
  long write(Exiv2::BasicIo&) override { return 0; }
  int putb(Exiv2::byte) override { return EOF; }
  Exiv2::DataBuf read(long count) override;
  long read(Exiv2::byte* buffer, long count) override;
  int getb() override;
  void transfer(Exiv2::BasicIo& src) override;
  int seek(long offset, Position pos) override;
  Exiv2::byte* mmap(bool isWriteable = false) override;
  int munmap() override { return 0; }
  long tell() const override { return static_cast<long>(pos_); }
  size_t size() const override { return static_cast<size_t>(shownSize_); }
  bool isopen() const override { return true; }
  int error() const override { return failed_ ? 1 : 0; }
  bool eof() const override { return eof_; }
  std::string path() const override { return "picture"; }
#ifdef EXV_UNICODE_PATH
  std::wstring wpath() const override { return L"picture"; }
#endif

 private:
  // Fills out with the n bytes at offset, from the window when it holds
  // them; false when the file could not give them all.
  bool Fetch(std::uint64_t offset, Exiv2::byte* out, std::uint64_t n);
  bool ReadFully(std::uint64_t offset, Exiv2::byte* out, std::uint64_t n);

  ByteSource& file_;
  const std::uint64_t fileSize_;
  std::uint64_t shownSize_;
  std::uint64_t readLimit_;
  std::uint64_t pos_ = 0;
  bool eof_ = false;
  bool failed_ = false;
  bool limitReached_ = false;
  // The last stretch read from the file, so that exiv2's many small reads of
  // markers and headers cost one read of the file each stretch.
  std::vector<Exiv2::byte> window_;
  std::uint64_t windowStart_ = 0;
  std::vector<Exiv2::byte> map_;
  MapFilter mapFilter_ = nullptr;
};

}  // namespace quillfen::metadata
