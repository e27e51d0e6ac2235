#include "mover/ShotDays.h"

#include <memory>

#include "metadata/DateTaken.h"
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

std::optional<LocalDate> DayInMetadata(const FileEntry& file, const FileSystem& files) {
  const CameraFileKind kind = KindOfCameraFile(file.name);
  if (kind != CameraFileKind::Picture && kind != CameraFileKind::Raw) return std::nullopt;
  std::unique_ptr<ReadableFile> open;
  if (!files.OpenForReading(file.path, open)) return std::nullopt;
  PortByteSource bytes(*open);
  const std::optional<DateTaken> taken = ReadDateTaken(bytes);
  if (!taken) return std::nullopt;
  return LocalDate{taken->year, taken->month, taken->day};
}

}  // namespace

LocalDate DayTaken(const Shot& shot, const FileSystem& files, const DayOfTime& dayOf) {
  for (const FileEntry& file : shot.files)
    if (const std::optional<LocalDate> day = DayInMetadata(file, files)) return *day;
  const FileEntry* timed = &shot.files.front();
  for (const FileEntry& file : shot.files) {
    const CameraFileKind kind = KindOfCameraFile(file.name);
    if (kind == CameraFileKind::Picture || kind == CameraFileKind::Raw) {
      timed = &file;
      break;
    }
  }
  return dayOf(timed->modified);
}

}  // namespace quillfen
