#pragma once
// A real file for the metadata reader, read with pread and counted; stands in
// for the program's file-system port in tests and benchmarks.
#include <string>

#include "metadata/ByteSource.h"

namespace quillfen::testing {

class FileByteSource : public ByteSource {
 public:
  // Throws when the file cannot be opened.
  explicit FileByteSource(const std::string& path);
  ~FileByteSource() override;
  FileByteSource(const FileByteSource&) = delete;
  FileByteSource& operator=(const FileByteSource&) = delete;

  std::uint64_t bytesRead = 0;

  std::uint64_t Size() const override { return size_; }
  long ReadAt(std::uint64_t offset, void* buffer, std::size_t n) override;

 private:
  int fd_ = -1;
  std::uint64_t size_ = 0;
};

}  // namespace quillfen::testing
