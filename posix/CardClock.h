#pragma once
// How a mounted volume keeps file times: FAT and exFAT cards keep the
// camera's clock with no time zone, which the kernel shows shifted by the
// mount's time offset (or the kernel's own time zone); every other volume
// keeps moments.
#include <cstdint>
#include <string>

#include "platform/FileSystem.h"

namespace quillfen::posix {

// The clock of a volume of the given kind, mounted with these options
// ("rw,relatime,fmask=0022,tz=UTC"); kernelMinutesWest: the kernel's time zone.
FileClock ClockOfMount(const std::string& type, const std::string& options, int kernelMinutesWest);

// The clock of the volume holding the path, from /proc/self/mountinfo.
FsStatus ClockOfPath(const std::string& path, FileClock& clock);

}  // namespace quillfen::posix
