#pragma once
// Small text files that several running copies of the program share (the
// settings, the registry hive, the desktop entry and mimeapps.list): every
// change is made under an exclusive lock, on the file as it is on disk at that
// moment, and lands all at once, so a crash or a second copy never leaves half
// a file or loses another copy's change.
#include <sys/types.h>

#include <functional>
#include <optional>
#include <string>

namespace quillfen::atomic_file {

struct ReadResult {
  bool ok = false;      // false: the file exists but could not be read
  bool exists = false;  // false: there is no such file (ok stays true)
  std::string text;
  std::string error;
};

// Reads the whole file as it stands.
ReadResult Read(const std::string& path);

// Given the file's current text (nothing when it does not exist), returns the
// new text, or nothing to leave the file alone.
using Modification = std::function<std::optional<std::string>(const std::optional<std::string>& current)>;

// Takes the lock, reads the file afresh, applies the modification and, when the
// text changed, replaces the file atomically: a temporary file in the same
// folder is written and flushed, renamed over the file, and the folder is
// flushed. A symbolic link is followed, so the file it names is replaced and the
// link stays. Missing folders are created (newFolderMode). A new file gets
// newFileMode; a replaced file keeps its mode. An unreadable file is never
// written over. Returns false, with error set, when the change did not land.
bool Modify(const std::string& path, const Modification& modification, mode_t newFileMode = 0644,
            std::string* error = nullptr);

// Removes the file under the same lock (nothing to do when it is absent).
bool Remove(const std::string& path, std::string* error = nullptr);

// Renames the file to path + suffix, adding "-2", "-3", ... when that name is
// taken; never replaces anything. Returns the new name, or nothing on failure.
// Meant to be called from inside a modification, which already holds the lock.
std::optional<std::string> MoveAside(const std::string& path, const std::string& suffix);

}  // namespace quillfen::atomic_file
