#include "posix/CopyChecks.h"

#include <fcntl.h>

#include <functional>

namespace quillfen::posix {

namespace {

// A copy of this size and more goes to the drive as soon as it is whole.
constexpr std::uint64_t kLarge = 1 << 20;
// A volume's flush for this many copies (a round's, posix/BatchMove.cpp),
// or bytes, at most: one flush for many small pictures, and large ones
// checked soon after they are read.
constexpr std::size_t kGroupCopies = 320;
constexpr std::uint64_t kGroupBytes = 16 << 20;

// Reads the copy back from the disk. A large one leaves the memory it took:
// a move of a whole card does not push everything else out of memory, and
// the next copies reuse the same memory.
void ReadBack(PendingCheck& copy) {
  if (!copy.error) copy.error = ChecksumFromDisk(copy.folder, copy.name, copy.fd, copy.bytes, copy.onDisk);
  if (!copy.error && copy.bytes >= kLarge) ::posix_fadvise(copy.fd, 0, 0, POSIX_FADV_DONTNEED);
  copy.done = true;
}

}  // namespace

CopyChecks::~CopyChecks() {
  Submit();
  for (const PendingCheck* copy : added_) Wait(*copy);
}

void CopyChecks::Add(PendingCheck& copy) {
  added_.push_back(&copy);
  if (copy.bytes >= kLarge) StartWriting(copy.fd);
  if (copy.flush == CopyFlush::EachFile) {
    workers_.Add([&copy] {
      copy.error = FlushCopy(copy.fd, CopyFlush::EachFile);
      ReadBack(copy);
    });
    return;
  }
  Group& group = groups_[copy.volume];
  group.copies.push_back(&copy);
  group.bytes += copy.bytes;
  if (group.copies.size() >= kGroupCopies || group.bytes >= kGroupBytes) Submit(group);
}

void CopyChecks::Submit() {
  for (auto& [volume, group] : groups_) Submit(group);
}

void CopyChecks::Submit(Group& group) {
  if (group.copies.empty()) return;
  workers_.Add([&workers = workers_, copies = std::move(group.copies)] {
    // When the volume's flush fails, each copy is flushed on its own, to
    // tell which failed (the error may be another file's).
    const bool flushed = FlushVolume(copies.front()->folder) == 0;
    std::vector<std::function<void()>> reads;
    for (PendingCheck* copy : copies) {
      if (!flushed) copy->error = FlushCopy(copy->fd, CopyFlush::EachFile);
      reads.push_back([copy] { ReadBack(*copy); });
    }
    workers.Add(std::move(reads));
  });
  group = Group{};
}

void CopyChecks::Wait(const PendingCheck& copy) {
  workers_.WaitUntil([&copy] { return copy.done.load(); });
}

}  // namespace quillfen::posix
