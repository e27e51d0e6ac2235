#include "posix/CardClock.h"

#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/sysmacros.h>
#include <sys/time.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

#include "posix/PosixFiles.h"

namespace quillfen::posix {

namespace {

// The option's value ("time_offset=-60" gives -60), or nothing.
bool OptionValue(const std::string& options, const std::string& name, std::string& value) {
  std::istringstream list(options);
  for (std::string option; std::getline(list, option, ',');) {
    if (option == name) {
      value.clear();
      return true;
    }
    if (option.rfind(name + "=", 0) == 0) {
      value = option.substr(name.size() + 1);
      return true;
    }
  }
  return false;
}

// glibc no longer hands out the kernel's time zone; the system call does.
int KernelMinutesWest() {
  struct timeval now {};
  struct timezone zone {};
  if (::syscall(SYS_gettimeofday, &now, &zone) != 0) return 0;
  return zone.tz_minuteswest;
}

}  // namespace

FileClock ClockOfMount(const std::string& type, const std::string& options, int kernelMinutesWest) {
  const bool fat = type == "vfat" || type == "msdos";
  if (!fat && type != "exfat") return FileClock{};
  std::string value;
  FileClock clock{true, 0};
  // FAT and exFAT alike: "time_offset=N" says the card's clock is N minutes
  // ahead of UTC; "tz=UTC" that it is UTC; FAT without either, and exFAT
  // told "sys_tz", follow the kernel's own time zone.
  if (OptionValue(options, "time_offset", value)) {
    try {
      clock.offsetSeconds = std::stoll(value) * 60;
    } catch (...) {
    }
  } else if (OptionValue(options, "tz", value)) {
    clock.offsetSeconds = 0;
  } else if (fat || OptionValue(options, "sys_tz", value)) {
    clock.offsetSeconds = -static_cast<std::int64_t>(kernelMinutesWest) * 60;
  }
  return clock;
}

FsStatus ClockOfPath(const std::string& path, FileClock& clock) {
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) return StatusOf(errno);
  clock = FileClock{};
  // "36 35 98:0 /mnt1 /mnt2 rw,noatime master:1 - ext3 /dev/root rw,errors=continue"
  std::ifstream mounts("/proc/self/mountinfo");
  for (std::string line; std::getline(mounts, line);) {
    std::istringstream fields(line);
    std::string id, parent, device;
    fields >> id >> parent >> device;
    unsigned major = 0, minor = 0;
    if (std::sscanf(device.c_str(), "%u:%u", &major, &minor) != 2 || makedev(major, minor) != status.st_dev) continue;
    const std::size_t separator = line.find(" - ");
    if (separator == std::string::npos) continue;
    std::istringstream rest(line.substr(separator + 3));
    std::string type, source, options;
    rest >> type >> source >> options;
    clock = ClockOfMount(type, options, KernelMinutesWest());
    return {};
  }
  return {};
}

}  // namespace quillfen::posix
