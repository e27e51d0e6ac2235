#pragma once
// Sources of pictures copied to another volume, waiting to be removed until
// their copies are on disk. Flushing a whole volume once for many copies costs
// about as much as flushing one file, so copies are made durable in groups:
// a source is removed only after the flush that follows its copy.
#include <chrono>
#include <cstdint>
#include <string>
#include <unordered_set>
#include <vector>

#include "platform/FileSystem.h"

namespace quillfen {

class DeferredRemovals {
 public:
  DeferredRemovals() = default;
  DeferredRemovals(const DeferredRemovals&) = delete;
  DeferredRemovals& operator=(const DeferredRemovals&) = delete;

  void Add(const std::string& source, const std::string& target, std::uint64_t bytes);
  bool Empty() const { return waiting_.empty(); }
  bool Holds(const std::string& source) const { return sources_.count(source) != 0; }
  // True once enough copies, bytes or time have gathered to flush them.
  bool Due() const;
  // Makes every waiting copy durable, then removes its source. A copy whose
  // durability cannot be confirmed keeps its source; so does a source that
  // cannot be removed. Either way both copies stay: nothing is lost.
  FsStatus Flush();

 private:
  struct Waiting {
    std::string source;
    std::string target;
  };
  std::vector<Waiting> waiting_;
  std::unordered_set<std::string> sources_;
  std::uint64_t bytes_ = 0;
  std::chrono::steady_clock::time_point oldest_;
};

}  // namespace quillfen
