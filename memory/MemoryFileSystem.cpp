#include "memory/MemoryFileSystem.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "base/ChecksumText.h"
#include "base/NoCase.h"
#include "base/PathParts.h"

namespace quillfen {

namespace {

// The reasons the POSIX file system gives for the same failures.
FsStatus NotFound() { return FsStatus::Failed(FsCode::NotFound, "No such file or directory"); }
FsStatus Exists() { return FsStatus::Failed(FsCode::Exists, "File exists"); }
FsStatus NoSpace() { return FsStatus::Failed(FsCode::NoSpace, "No space left on device"); }
FsStatus ReadOnly() { return FsStatus::Failed(FsCode::ReadOnly, "Read-only file system"); }
FsStatus Other(const char* why) { return FsStatus::Failed(FsCode::Other, why); }

}  // namespace

std::string NormalisedPath(const std::string& path) {
  std::string out;
  for (char c : path)
    if (c != '/' || out.empty() || out.back() != '/') out += c;
  while (out.size() > 1 && out.back() == '/') out.pop_back();
  return out;
}

MemoryFileSystem::MemoryFileSystem(std::uint64_t rootCapacity) {
  nodes_["/"].folder = true;
  volumes_["/"] = Volume{1, rootCapacity, false, 1, FileClock{}};
}

void MemoryFileSystem::AddVolume(const std::string& mountPoint, std::uint64_t capacity, bool readOnly,
                                 std::uint64_t unit) {
  PutFolder(mountPoint);
  volumes_[NormalisedPath(mountPoint)] =
      Volume{volumes_.size() + 1, capacity, readOnly, std::max<std::uint64_t>(1, unit), FileClock{}};
}

void MemoryFileSystem::PutFolder(const std::string& path) {
  const std::string p = NormalisedPath(path);
  if (p != "/") PutFolder(ParentFolder(p));
  nodes_[p].folder = true;
}

void MemoryFileSystem::Put(const std::string& path, const std::string& bytes, std::int64_t modified) {
  const std::string p = NormalisedPath(path);
  PutFolder(ParentFolder(p));
  nodes_[p] = Node{false, bytes, modified};
}

std::optional<std::string> MemoryFileSystem::Contents(const std::string& path) const {
  const Node* node = Find(path);
  if (!node || node->folder) return std::nullopt;
  return node->bytes;
}

bool MemoryFileSystem::Erase(const std::string& path) {
  const Node* node = Find(path);
  if (!node || node->folder) return false;
  nodes_.erase(NormalisedPath(path));
  return true;
}

const MemoryFileSystem::Node* MemoryFileSystem::Find(const std::string& path) const {
  auto it = nodes_.find(NormalisedPath(path));
  return it == nodes_.end() ? nullptr : &it->second;
}

const std::pair<const std::string, MemoryFileSystem::Volume>& MemoryFileSystem::VolumeOf(
    const std::string& path) const {
  std::string p = NormalisedPath(path);
  for (;;) {
    auto it = volumes_.find(p);
    if (it != volumes_.end()) return *it;
    p = ParentFolder(p);
  }
}

namespace {

std::uint64_t Allocated(std::uint64_t bytes, std::uint64_t unit) { return (bytes + unit - 1) / unit * unit; }

}  // namespace

std::uint64_t MemoryFileSystem::UsedBytes(const std::string& mountPoint) const {
  std::uint64_t used = 0;
  for (const auto& [path, node] : nodes_)
    if (!node.folder && VolumeOf(path).first == mountPoint)
      used += Allocated(node.bytes.size(), volumes_.at(mountPoint).unit);
  return used;
}

FsStatus MemoryFileSystem::Writable(const std::string& path, std::uint64_t bytes, std::uint64_t replacedBytes) const {
  const auto& [mountPoint, volume] = VolumeOf(path);
  if (volume.readOnly) return ReadOnly();
  if (UsedBytes(mountPoint) - Allocated(replacedBytes, volume.unit) + Allocated(bytes, volume.unit) > volume.capacity)
    return NoSpace();
  return {};
}

template <typename Visit>
void MemoryFileSystem::ForEachChild(const std::string& folder, Visit visit) const {
  const std::string prefix = folder == "/" ? "/" : folder + "/";
  std::vector<std::pair<std::string, const Node*>> children;
  for (auto it = nodes_.lower_bound(prefix); it != nodes_.end() && it->first.compare(0, prefix.size(), prefix) == 0;
       ++it) {
    const std::string name = it->first.substr(prefix.size());
    if (!name.empty() && name.find('/') == std::string::npos) children.emplace_back(name, &it->second);
  }
  std::sort(children.begin(), children.end(), [](const auto& a, const auto& b) { return ListedBefore(a.first, b.first); });
  for (const auto& [name, node] : children) visit(name, *node);
}

bool MemoryFileSystem::FolderExists(const std::string& path) const {
  const Node* node = Find(path);
  return node && node->folder;
}

bool MemoryFileSystem::FileExists(const std::string& path) const {
  const Node* node = Find(path);
  return node && !node->folder;
}

FsStatus MemoryFileSystem::CreateFolder(const std::string& path) {
  const std::string p = NormalisedPath(path);
  if (const Node* node = Find(p)) return node->folder ? FsStatus{} : Exists();
  if (!FolderExists(ParentFolder(p))) return NotFound();
  if (VolumeOf(p).second.readOnly) return ReadOnly();
  nodes_[p].folder = true;
  return {};
}

FsStatus MemoryFileSystem::ListFiles(const std::string& folder, std::vector<FileEntry>& files) const {
  files.clear();
  if (!FolderExists(folder)) return NotFound();
  const std::string p = NormalisedPath(folder);
  ForEachChild(p, [&](const std::string& name, const Node& node) {
    if (node.folder) return;
    files.push_back(FileEntry{name, BuildPath(folder, name), node.bytes.size(), name.front() == '.', node.modified});
  });
  return {};
}

FsStatus MemoryFileSystem::ListSubfolders(const std::string& folder, std::vector<std::string>& subfolders) const {
  subfolders.clear();
  if (!FolderExists(folder)) return NotFound();
  ForEachChild(NormalisedPath(folder), [&](const std::string& name, const Node& node) {
    if (node.folder) subfolders.push_back(BuildPath(folder, name));
  });
  return {};
}

std::vector<std::string> MemoryFileSystem::FileNames(const std::string& folder) const {
  std::vector<FileEntry> files;
  ListFiles(folder, files);
  std::vector<std::string> names;
  for (const FileEntry& file : files) names.push_back(file.name);
  return names;
}

bool MemoryFileSystem::FolderIsEmpty(const std::string& path) const {
  if (!FolderExists(path)) return false;
  bool empty = true;
  ForEachChild(NormalisedPath(path), [&](const std::string&, const Node&) { empty = false; });
  return empty;
}

FsStatus MemoryFileSystem::CanonicalPath(const std::string& path, std::string& canonical) const {
  if (!Find(path)) return NotFound();
  canonical = NormalisedPath(path);
  return {};
}

FsStatus MemoryFileSystem::VolumeId(const std::string& path, std::uint64_t& volume) const {
  if (!Find(path)) return NotFound();
  volume = VolumeOf(path).second.id;
  return {};
}

FsStatus MemoryFileSystem::FreeSpace(const std::string& path, std::uint64_t& bytes) const {
  if (!Find(path)) return NotFound();
  const auto& [mountPoint, volume] = VolumeOf(path);
  const std::uint64_t used = UsedBytes(mountPoint);
  bytes = used >= volume.capacity ? 0 : volume.capacity - used;
  return {};
}

void MemoryFileSystem::KeepCameraClock(const std::string& mountPoint, std::int64_t offsetSeconds) {
  volumes_.at(NormalisedPath(mountPoint)).clock = FileClock{true, offsetSeconds};
}

FsStatus MemoryFileSystem::FileClockOf(const std::string& path, FileClock& clock) const {
  if (!Find(path)) return NotFound();
  clock = VolumeOf(path).second.clock;
  return {};
}

FsStatus MemoryFileSystem::AllocationUnit(const std::string& path, std::uint64_t& bytes) const {
  if (!Find(path)) return NotFound();
  bytes = VolumeOf(path).second.unit;
  return {};
}

FsStatus MemoryFileSystem::MoveFile(const std::string& source, const std::string& target) {
  const std::string from = NormalisedPath(source);
  const std::string to = NormalisedPath(target);
  const Node* node = Find(from);
  if (!node) return NotFound();
  if (node->folder) return Other("Invalid argument");
  if (Find(to)) return Exists();
  if (!FolderExists(ParentFolder(to))) return NotFound();
  if (VolumeOf(from).second.readOnly) return ReadOnly();
  // Across volumes the copy needs room first; within one it is a rename.
  if (VolumeOf(from).first != VolumeOf(to).first)
    if (FsStatus room = Writable(to, node->bytes.size()); !room) return room;
  if (VolumeOf(to).second.readOnly) return ReadOnly();
  Node moved = *node;
  nodes_.erase(from);
  nodes_[to] = std::move(moved);
  return {};
}

FsStatus MemoryFileSystem::CopyFile(const std::string& source, const std::string& target, std::string* checksum) {
  const Node* node = Find(source);
  if (!node) return NotFound();
  if (node->folder) return Other("Invalid argument");
  const std::string to = NormalisedPath(target);
  if (Find(to)) return Exists();
  if (!FolderExists(ParentFolder(to))) return NotFound();
  if (FsStatus room = Writable(to, node->bytes.size()); !room) return room;
  if (checksum) *checksum = ChecksumOf(node->bytes);
  Node copy = *node;
  nodes_[to] = std::move(copy);
  return {};
}

FsStatus MemoryFileSystem::RemoveCopy(const std::string& path) {
  const Node* node = Find(path);
  if (!node) return NotFound();
  if (node->folder) return Other("Is a directory");
  if (VolumeOf(path).second.readOnly) return ReadOnly();
  nodes_.erase(NormalisedPath(path));
  return {};
}

FsStatus MemoryFileSystem::Checksum(const std::string& path, std::string& hex) const {
  const Node* node = Find(path);
  if (!node) return NotFound();
  if (node->folder) return Other("not a regular file");
  hex = ChecksumOf(node->bytes);
  return {};
}

FsStatus MemoryFileSystem::RemoveFolder(const std::string& path) {
  const std::string p = NormalisedPath(path);
  const Node* node = Find(p);
  if (!node) return NotFound();
  if (!node->folder) return FsStatus::Failed(FsCode::NotFound, "Not a directory");
  if (!FolderIsEmpty(p)) return Other("Directory not empty");
  if (volumes_.count(p)) return Other("Device or resource busy");
  if (VolumeOf(ParentFolder(p)).second.readOnly) return ReadOnly();
  nodes_.erase(p);
  return {};
}

namespace {

// A copy of the file's bytes as they were when it was opened.
class MemoryReadableFile : public ReadableFile {
 public:
  explicit MemoryReadableFile(std::string bytes) : bytes_(std::move(bytes)) {}
  std::uint64_t Size() const override { return bytes_.size(); }
  long ReadAt(std::uint64_t offset, void* buffer, std::size_t n) override {
    if (offset >= bytes_.size()) return 0;
    const std::size_t count = std::min<std::size_t>(n, bytes_.size() - offset);
    std::memcpy(buffer, bytes_.data() + offset, count);
    return static_cast<long>(count);
  }

 private:
  std::string bytes_;
};

}  // namespace

FsStatus MemoryFileSystem::OpenForReading(const std::string& path, std::unique_ptr<ReadableFile>& file) const {
  const Node* node = Find(path);
  if (!node) return NotFound();
  if (node->folder) return Other("not a regular file");
  file = std::make_unique<MemoryReadableFile>(node->bytes);
  return {};
}

FsStatus MemoryFileSystem::ReadFile(const std::string& path, std::string& bytes) const {
  bytes.clear();
  const Node* node = Find(path);
  if (!node) return NotFound();
  if (node->folder) return Other("not a regular file");
  bytes = node->bytes;
  return {};
}

FsStatus MemoryFileSystem::ReplaceFile(const std::string& path, const std::string& bytes) {
  const std::string p = NormalisedPath(path);
  const Node* node = Find(p);
  if (node && node->folder) return Other("Is a directory");
  if (!FolderExists(ParentFolder(p))) return NotFound();
  if (FsStatus room = Writable(p, bytes.size(), node ? node->bytes.size() : 0); !room) return room;
  nodes_[p] = Node{false, bytes, node ? node->modified : 0};
  return {};
}

}  // namespace quillfen
