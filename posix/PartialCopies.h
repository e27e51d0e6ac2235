#pragma once
// The hidden names a copy is written under in the target folder before it
// gets its final name, and the clearing of those left by killed runs.
#include <sys/types.h>

#include <string>

#include "posix/PosixFiles.h"

namespace quillfen {

// The hidden name (a full path beside the target) a copy is written under.
// It never ends in a picture's extension, so no listing takes it for a
// picture, and it fits one name of the file system however long the
// target's name is.
std::string PartialCopyName(const std::string& target, int attempt);

// Whether a file name is one of those temporary names; writer is then the
// process that chose it.
bool IsPartialCopyName(const std::string& name, pid_t& writer);

// Removes the temporary copies in the folder whose writer is no longer
// running (a run that was killed). Its source is still in place: a source
// goes only after its copy's temporary name is gone.
void RemoveStaleCopies(const std::string& folder);

// A copy being written under a hidden name in the open folder `folder`,
// beside its final name. Everything is relative to the open folder, so that
// only names, not the whole long paths, must fit the system's limits.
// Removed again unless kept.
class PartialCopy {
 public:
  // The file is created empty, open for reading and writing; error() says
  // why it could not be.
  PartialCopy(int folder, const std::string& target);
  ~PartialCopy();
  PartialCopy(const PartialCopy&) = delete;
  PartialCopy& operator=(const PartialCopy&) = delete;

  int error() const { return error_; }
  int fd() const { return out_.get(); }
  const std::string& name() const { return name_; }
  // It has its final name now: nothing to remove.
  void Keep() { kept_ = true; }

 private:
  int folder_;
  std::string name_;
  posix::UniqueFd out_{-1};
  int error_ = 0;
  bool kept_ = false;
};

}  // namespace quillfen
