// The image file: a line of text per inode (number, attributes with
// nanoseconds, sizes) followed by its raw bytes and its folder entries.
#include "Image.h"

#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <memory>

namespace faultfs {

namespace {

constexpr const char* kMagic = "faultfs-image 1\n";

struct FileCloser {
  void operator()(FILE* f) const {
    if (f) std::fclose(f);
  }
};
using File = std::unique_ptr<FILE, FileCloser>;

bool WriteNode(FILE* f, Ino ino, const DurableNode& node) {
  const Attributes& a = node.attr;
  if (std::fprintf(f, "node %" PRIu64 " %o %u %u %lld %ld %lld %ld %lld %ld %zu %zu\n", ino,
                   static_cast<unsigned>(a.mode), static_cast<unsigned>(a.uid), static_cast<unsigned>(a.gid),
                   static_cast<long long>(a.atime.tv_sec), a.atime.tv_nsec, static_cast<long long>(a.mtime.tv_sec),
                   a.mtime.tv_nsec, static_cast<long long>(a.ctime.tv_sec), a.ctime.tv_nsec, node.data.size(),
                   node.entries.size()) < 0)
    return false;
  if (!node.data.empty() && std::fwrite(node.data.data(), 1, node.data.size(), f) != node.data.size()) return false;
  for (const auto& [name, child] : node.entries)
    if (std::fprintf(f, "%" PRIu64 " %zu %s\n", child, name.size(), name.c_str()) < 0) return false;
  return true;
}

bool ReadNode(FILE* f, Ino& ino, DurableNode& node) {
  unsigned mode, uid, gid;
  long long as, ms, cs;
  long ans, mns, cns;
  std::size_t size, count;
  if (std::fscanf(f, "node %" SCNu64 " %o %u %u %lld %ld %lld %ld %lld %ld %zu %zu", &ino, &mode, &uid, &gid, &as,
                  &ans, &ms, &mns, &cs, &cns, &size, &count) != 12 ||
      std::fgetc(f) != '\n')
    return false;
  node.attr = Attributes{static_cast<mode_t>(mode), static_cast<uid_t>(uid), static_cast<gid_t>(gid),
                         {static_cast<time_t>(as), ans}, {static_cast<time_t>(ms), mns}, {static_cast<time_t>(cs), cns}};
  node.data.resize(size);
  if (size && std::fread(node.data.data(), 1, size, f) != size) return false;
  for (std::size_t i = 0; i < count; ++i) {
    Ino child;
    std::size_t length;
    if (std::fscanf(f, "%" SCNu64 " %zu", &child, &length) != 2 || std::fgetc(f) != ' ') return false;
    std::string name(length, '\0');
    if (std::fread(name.data(), 1, length, f) != length || std::fgetc(f) != '\n') return false;
    node.entries[name] = child;
  }
  return true;
}

}  // namespace

bool SaveImage(const std::string& path, const std::map<Ino, DurableNode>& state, std::string& error) {
  const std::string temp = path + ".saving";
  File f(std::fopen(temp.c_str(), "wb"));
  bool ok = f && std::fputs(kMagic, f.get()) >= 0;
  for (auto it = state.begin(); ok && it != state.end(); ++it) ok = WriteNode(f.get(), it->first, it->second);
  if (ok) ok = std::fflush(f.get()) == 0;
  FILE* raw = f.release();
  if (raw && std::fclose(raw) != 0) ok = false;
  if (ok && std::rename(temp.c_str(), path.c_str()) != 0) ok = false;
  if (!ok) {
    error = "cannot save the image " + path + ": " + std::strerror(errno);
    std::remove(temp.c_str());
  }
  return ok;
}

bool LoadImage(const std::string& path, std::map<Ino, DurableNode>& state, std::string& error) {
  File f(std::fopen(path.c_str(), "rb"));
  char magic[32] = {};
  if (!f || !std::fgets(magic, sizeof magic, f.get()) || std::strcmp(magic, kMagic) != 0) {
    error = "cannot read the image " + path + (f ? ": not a faultfs image" : std::string(": ") + std::strerror(errno));
    return false;
  }
  state.clear();
  for (int c; (c = std::fgetc(f.get())) != EOF;) {
    std::ungetc(c, f.get());
    Ino ino = 0;
    DurableNode node;
    if (!ReadNode(f.get(), ino, node)) {
      error = "the image " + path + " is damaged";
      return false;
    }
    state[ino] = std::move(node);
  }
  if (!state.count(kRootIno) || !S_ISDIR(state[kRootIno].attr.mode)) {
    error = "the image " + path + " has no root folder";
    return false;
  }
  return true;
}

}  // namespace faultfs
