#pragma once
// Why a move cannot go on, and where: what the checks before a move find.
// The mover turns each into the message the user reads.
#include <cstdint>
#include <string>
#include <utility>

#include "platform/FileSystem.h"

namespace quillfen {

struct Refusal {
  enum class Kind {
    TargetAbsent,     // the target is no folder
    SourceAbsent,     // the source is no folder
    TargetInSource,   // `folder` (where the shots would go) lies in `other`, which they are taken from
    FolderFailed,     // `folder` could not be made, read or listed: `failure` says why
    DoubleNames,      // two shots of one name would go into the target folder `folder`
    DoubleNamesInDay, // the same, into the day folder `folder` (by the date taken)
    EmptySource,      // nothing to move, or only empty files
    NoSpace,          // the target volume holds `free` bytes of the `needed`
    NoSpaceInBackup,  // the backup's volume likewise
    BackupAbsent,     // the backup `folder` is no folder; `other`: the drive it would be on, when it is one
    BackupInSource,   // the backup `folder` lies in `other`, which the shots are taken from
    BackupBesideTarget,  // the backup `folder` is on the target's volume: no second copy at all
    NumbersRunOut,    // numbering after the picture `other` would pass 9999
    NameTaken,        // the picture `other` in the target has a shot's name
  };
  explicit Refusal(Kind why, std::string where = {}, std::string what = {}, FsStatus failed = {})
      : kind(why), folder(std::move(where)), other(std::move(what)), failure(std::move(failed)) {}

  Kind kind;
  std::string folder;
  std::string other;
  FsStatus failure;
  double needed = 0;
  std::uint64_t free = 0;
};

}  // namespace quillfen
