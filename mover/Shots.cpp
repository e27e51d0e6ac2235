#include "mover/Shots.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <string_view>
#include <unordered_map>

#include "base/NoCase.h"
#include "base/PathParts.h"

namespace quillfen {

namespace {

bool Digits(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c); });
}

bool Upper(char c) { return c >= 'A' && c <= 'Z'; }
bool Letter(char c) { return Upper(c) || (c >= 'a' && c <= 'z'); }
char ToUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool StartsNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i)
    if (ToUpper(text[i]) != ToUpper(prefix[i])) return false;
  return true;
}

// GoPro: "GOPR0001" (a first chapter or a photo), "GP020001", "GX010001",
// "GH010001", "GL010001" (its proxy), "GS010001" (a 360° recording).
std::optional<std::string> GoProRecording(std::string_view base) {
  if (base.size() != 8) return std::nullopt;
  if (StartsNoCase(base, "GOPR") && Digits(base.substr(4))) return "GOPR" + std::string(base.substr(4));
  if (ToUpper(base[0]) == 'G' && Letter(base[1]) && Digits(base.substr(2)))
    return "GOPR" + std::string(base.substr(4));
  return std::nullopt;
}

// Sony: clip "C0001", its metadata "C0001M01", thumbnail "C0001T01", proxy "C0001S03".
std::optional<std::string> SonyClip(std::string_view base) {
  if (base.size() != 8 || ToUpper(base[0]) != 'C' || !Digits(base.substr(1, 4)) || !Digits(base.substr(6)))
    return std::nullopt;
  const char part = ToUpper(base[5]);
  if (part != 'M' && part != 'T' && part != 'S') return std::nullopt;
  return std::string(base.substr(0, 5));
}

// Insta360: "VID_20230101_123456_00_001" and "_10_" (the two lenses),
// "LRV_20230101_123456_01_001" (the proxy), "IMG_..." (a photo).
std::optional<std::string> InstaRecording(std::string_view base) {
  const std::size_t prefix = base.find('_');
  if (prefix == std::string_view::npos) return std::nullopt;
  const std::string_view rest = base.substr(prefix + 1);
  // 20230101_123456_00_001
  if (rest.size() != 22 || rest[8] != '_' || rest[15] != '_' || rest[18] != '_') return std::nullopt;
  if (!Digits(rest.substr(0, 8)) || !Digits(rest.substr(9, 6)) || !Digits(rest.substr(16, 2)) ||
      !Digits(rest.substr(19)))
    return std::nullopt;
  return "INSTA_" + std::string(rest.substr(0, 15)) + "_" + std::string(rest.substr(19));
}

std::int64_t EarliestTime(const std::vector<FileEntry>& files) {
  std::int64_t earliest = files.front().modified;
  for (const FileEntry& file : files) earliest = std::min(earliest, file.modified);
  return earliest;
}

}  // namespace

std::int32_t LeftOnCard::Total() const {
  std::int32_t total = 0;
  for (std::int32_t count : files) total += count;
  return total;
}

LeftOnCard& LeftOnCard::operator+=(const LeftOnCard& other) {
  for (std::size_t i = 0; i < files.size(); ++i) files[i] += other.files[i];
  return *this;
}

std::string ShotName(const std::string& fileName) {
  std::string base = GetBaseName(fileName);
  // A sidecar named after the whole file: "IMG_0001.CR2.xmp".
  if (KindOfCameraFile(fileName) == CameraFileKind::Sidecar && IsCameraFile(base)) base = GetBaseName(base);
  for (auto convention : {GoProRecording, SonyClip, InstaRecording})
    if (std::optional<std::string> name = convention(base)) return *name;
  return base;
}

FolderShots ShotsOf(std::vector<FileEntry> files, const std::string& folder, CardFolder where, bool everyCameraFile) {
  FolderShots result;
  std::unordered_map<std::string, std::size_t> byName;  // folded shot name -> index in shots
  std::unordered_map<std::string, std::int32_t> leftByShot;  // camera files of a shot left behind
  for (FileEntry& file : files) {
    const FileFate fate = FateOf(file.name, folder, where, everyCameraFile);
    if (!everyCameraFile) {
      const bool hiddenPicture = fate == FileFate::Hidden && EqualsNoCase(GetExtensionName(file.name), "jpg");
      const std::string shotName = FoldNoCase(ShotName(file.name));
      if (fate != FileFate::Taken) result.left.Add(fate);
      if (fate != FileFate::Taken && fate != FileFate::Hidden && fate != FileFate::CameraOwn && IsCameraFile(file.name))
        ++leftByShot[shotName];
      if (fate == FileFate::Taken || hiddenPicture) {
        // Each picture is a shot of its own; a hidden one is counted, never moved.
        byName.try_emplace(shotName, result.shots.size());
        result.shots.push_back(Shot{file.name, {}, file.size, hiddenPicture, 0, file.modified});
        result.shots.back().files.push_back(std::move(file));
      }
      continue;
    }
    if (fate != FileFate::Taken) {
      result.left.Add(fate);
      continue;
    }
    const std::string name = ShotName(file.name);
    auto [at, added] = byName.try_emplace(FoldNoCase(name), result.shots.size());
    if (added) result.shots.push_back(Shot{name, {}, 0, false, 0, file.modified});
    Shot& shot = result.shots[at->second];
    shot.bytes += file.size;
    shot.files.push_back(std::move(file));
  }
  for (Shot& shot : result.shots) shot.firstWritten = EarliestTime(shot.files);
  // Pictures alone would leave the rest of their shots behind.
  for (const auto& [name, count] : leftByShot) {
    const auto picture = byName.find(name);
    if (picture == byName.end() || result.shots[picture->second].hidden) continue;
    result.splitFiles += count;
    ++result.splitShots;
  }
  return result;
}

}  // namespace quillfen
