#pragma once
// Where a fuzzing process keeps its files: in memory (/dev/shm) where
// possible, since the targets write and flush files on every input.
#include <unistd.h>

#include <string>

namespace quillfen::fuzzing {

inline std::string MemoryVolume() { return access("/dev/shm", W_OK) == 0 ? "/dev/shm" : ""; }

}  // namespace quillfen::fuzzing
