#pragma once
// The copies of a batch made durable and read back from the disk by a few
// threads while the move's own thread reads the next pictures from the card,
// so that the card and the drives are busy at the same time. Where a volume
// is flushed whole (posix/CopyFlush.h), the copies written there since its
// last flush are flushed together, a group at a time, and then read back
// each on its own; elsewhere each copy is flushed and read back on its own.
#include <sys/types.h>

#include <atomic>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "posix/CopyFlush.h"
#include "posix/VerifiedCopy.h"
#include "posix/Workers.h"

namespace quillfen::posix {

// One copy, whole and with its times, as the threads see it.
struct PendingCheck {
  int fd = -1;              // the copy, open
  int folder = -1;          // its folder, open
  std::string name;         // its name there
  dev_t volume = 0;
  CopyFlush flush = CopyFlush::EachFile;
  std::uint64_t bytes = 0;  // as many as were read for it
  // Found by the threads: why its flush or read-back failed, or what the
  // disk holds.
  int error = 0;
  Checksum onDisk;
  std::atomic<bool> done{false};
};

class CopyChecks {
 public:
  explicit CopyChecks(Workers& workers) : workers_(workers) {}
  CopyChecks(const CopyChecks&) = delete;
  CopyChecks& operator=(const CopyChecks&) = delete;
  // No thread works on any of its copies any more (the threads may go on
  // with another batch's).
  ~CopyChecks();

  // The copy is handed on; it stays, open, until Wait says it is done.
  void Add(PendingCheck& copy);
  // Every copy handed on so far goes to the threads (the end of a batch).
  void Submit();
  // Returns once the copy is durable and read back, or failed.
  void Wait(const PendingCheck& copy);

 private:
  // The copies of one volume waiting for its flush.
  struct Group {
    std::vector<PendingCheck*> copies;
    std::uint64_t bytes = 0;
  };
  void Submit(Group& group);

  Workers& workers_;
  std::map<dev_t, Group> groups_;
  std::vector<const PendingCheck*> added_;
};

}  // namespace quillfen::posix
