#include "mover/ShotDays.h"

#include <algorithm>
#include <ctime>
#include <functional>
#include <memory>

#include "base/NoCase.h"
#include "base/PathParts.h"
#include "metadata/DateTaken.h"
#include "metadata/RecordingTime.h"
#include "mover/CameraFiles.h"

namespace quillfen {

namespace {

// A file opened through the program's file system, as the metadata reader
// reads it: every byte it takes goes through the port.
class PortByteSource : public ByteSource {
 public:
  explicit PortByteSource(ReadableFile& file) : file_(file) {}
  std::uint64_t Size() const override { return file_.Size(); }
  long ReadAt(std::uint64_t offset, void* buffer, std::size_t n) override { return file_.ReadAt(offset, buffer, n); }

 private:
  ReadableFile& file_;
};

LocalDate DayOfClock(const DateTaken& taken) { return LocalDate{taken.year, taken.month, taken.day}; }

// The day of a time read as UTC: the camera's clock kept as if it were UTC.
LocalDate UtcDay(std::int64_t seconds) {
  const std::time_t time = static_cast<std::time_t>(seconds);
  std::tm utc{};
  ::gmtime_r(&time, &utc);
  return LocalDate{utc.tm_year + 1900, utc.tm_mon + 1, utc.tm_mday};
}

using Reader = std::function<std::optional<LocalDate>(ByteSource&)>;

// The first file of the shot that the test picks and the reader finds a day in.
std::optional<LocalDate> FirstDay(const Shot& shot, const FileSystem& files,
                                  const std::function<bool(const FileEntry&)>& picks, const Reader& read) {
  for (const FileEntry& file : shot.files) {
    if (!picks(file)) continue;
    std::unique_ptr<ReadableFile> open;
    if (!files.OpenForReading(file.path, open)) continue;
    PortByteSource bytes(*open);
    if (const std::optional<LocalDate> day = read(bytes)) return day;
  }
  return std::nullopt;
}

bool OfKind(const FileEntry& file, CameraFileKind kind) { return KindOfCameraFile(file.name) == kind; }
bool HasExtension(const FileEntry& file, const char* extension) {
  return EqualsNoCase(GetExtensionName(file.name), extension);
}

}  // namespace

LocalDate DayTaken(const Shot& shot, const FileSystem& files, const DayOfTime& dayOf, const FileClock& clock) {
  const Reader exif = [](ByteSource& bytes) -> std::optional<LocalDate> {
    if (const std::optional<DateTaken> taken = ReadDateTaken(bytes)) return DayOfClock(*taken);
    return std::nullopt;
  };
  const Reader container = [&](ByteSource& bytes) -> std::optional<LocalDate> {
    const std::optional<RecordedAt> recorded = ReadRecordingTime(bytes);
    if (!recorded) return std::nullopt;
    if (!recorded->utc) return DayOfClock(recorded->time);
    std::tm utc{};
    utc.tm_year = recorded->time.year - 1900;
    utc.tm_mon = recorded->time.month - 1;
    utc.tm_mday = recorded->time.day;
    utc.tm_hour = recorded->time.hour;
    utc.tm_min = recorded->time.minute;
    utc.tm_sec = recorded->time.second;
    return dayOf(static_cast<std::int64_t>(::timegm(&utc)));
  };
  const Reader clipXml = [](ByteSource& bytes) -> std::optional<LocalDate> {
    if (const std::optional<DateTaken> taken = ReadClipMetadataTime(bytes)) return DayOfClock(*taken);
    return std::nullopt;
  };
  const auto picture = [](const FileEntry& file) {
    return OfKind(file, CameraFileKind::Picture) || OfKind(file, CameraFileKind::Raw);
  };
  const auto video = [](const FileEntry& file) { return OfKind(file, CameraFileKind::Video); };
  const auto xml = [](const FileEntry& file) { return HasExtension(file, "xml"); };
  const auto thumbnail = [](const FileEntry& file) { return HasExtension(file, "thm"); };
  if (auto day = FirstDay(shot, files, picture, exif)) return *day;
  if (auto day = FirstDay(shot, files, video, container)) return *day;
  if (auto day = FirstDay(shot, files, xml, clipXml)) return *day;
  if (auto day = FirstDay(shot, files, thumbnail, exif)) return *day;
  // A sidecar written later (an edit) does not move the shot: the earliest time.
  std::int64_t earliest = shot.files.front().modified;
  for (const FileEntry& file : shot.files) earliest = std::min(earliest, file.modified);
  return clock.cameraClock ? UtcDay(earliest + clock.offsetSeconds) : dayOf(earliest);
}

}  // namespace quillfen
