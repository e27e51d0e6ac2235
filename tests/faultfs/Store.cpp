// The live tree's rules (what POSIX asks of each call) and the points where
// a change moves into the durable state; see Store.h for the model.
#include "Store.h"

#include <linux/fs.h>

#include <cerrno>
#include <ctime>
#include <set>

namespace faultfs {

timespec Store::Now() {
  timespec now;
  clock_gettime(CLOCK_REALTIME, &now);
  return now;
}

Store::Store() {
  Node& root = live_[kRootIno];
  root.attr.mode = S_IFDIR | 0755;
  root.attr.atime = root.attr.mtime = root.attr.ctime = Now();
  root.nlink = 2;
  root.parent = kRootIno;
  durable_[kRootIno] = DurableNode{root.attr, {}, {}};
}

Node* Store::Find(Ino ino) {
  auto it = live_.find(ino);
  return it == live_.end() ? nullptr : &it->second;
}

Node* Store::Lookup(Ino parent, const std::string& name, Ino* ino) {
  Node* folder = Find(parent);
  if (!folder || !folder->IsDir()) return nullptr;
  auto it = folder->entries.find(name);
  if (it == folder->entries.end()) return nullptr;
  if (ino) *ino = it->second;
  return Find(it->second);
}

Node& Store::NewNode(mode_t mode, uid_t uid, gid_t gid) {
  Ino ino = nextIno_++;
  Node& node = live_[ino];
  node.attr.mode = mode;
  node.attr.uid = uid;
  node.attr.gid = gid;
  node.attr.atime = node.attr.mtime = node.attr.ctime = Now();
  // Allocated but never flushed: after a cut it is empty, if it is found at all.
  durable_[ino] = DurableNode{node.attr, {}, {}};
  return node;
}

void Store::Touch(Node& folder) { folder.attr.mtime = folder.attr.ctime = Now(); }

int Store::Create(Ino parent, const std::string& name, mode_t mode, uid_t uid, gid_t gid, Ino& created) {
  Node* folder = Find(parent);
  if (!folder) return ENOENT;
  if (!folder->IsDir()) return ENOTDIR;
  if (name.size() > 255) return ENAMETOOLONG;
  if (folder->entries.count(name)) return EEXIST;
  if (!S_ISREG(mode) && !S_ISDIR(mode)) return EPERM;
  Node& node = NewNode(mode, uid, gid);
  created = nextIno_ - 1;
  node.name = name;
  if (node.IsDir()) {
    node.nlink = 2;
    node.parent = parent;
    folder->nlink++;
  } else {
    node.nlink = 1;
  }
  folder->entries[name] = created;
  Touch(*folder);
  return 0;
}

int Store::Unlink(Ino parent, const std::string& name, bool folderWanted) {
  Node* folder = Find(parent);
  if (!folder || !folder->IsDir()) return ENOTDIR;
  Ino ino = 0;
  Node* node = Lookup(parent, name, &ino);
  if (!node) return ENOENT;
  if (folderWanted && !node->IsDir()) return ENOTDIR;
  if (!folderWanted && node->IsDir()) return EISDIR;
  if (node->IsDir()) {
    if (!node->entries.empty()) return ENOTEMPTY;
    node->nlink = 0;
    folder->nlink--;
  } else {
    node->nlink--;
    node->attr.ctime = Now();
  }
  folder->entries.erase(name);
  Touch(*folder);
  ReleaseIfUnused(ino);
  return 0;
}

bool Store::IsWithin(Ino folder, Ino ancestor) {
  for (Ino at = folder;; at = Find(at)->parent) {
    if (at == ancestor) return true;
    if (at == kRootIno) return false;
  }
}

int Store::Rename(Ino parent, const std::string& name, Ino newParent, const std::string& newName, unsigned flags) {
  if (flags & ~RENAME_NOREPLACE) return EINVAL;  // no exchange, no whiteouts
  Node* from = Find(parent);
  Node* to = Find(newParent);
  if (!from || !to || !from->IsDir() || !to->IsDir()) return ENOTDIR;
  if (newName.size() > 255) return ENAMETOOLONG;
  Ino ino = 0, replacedIno = 0;
  Node* node = Lookup(parent, name, &ino);
  if (!node) return ENOENT;
  Node* replaced = Lookup(newParent, newName, &replacedIno);
  if (replaced) {
    if (flags & RENAME_NOREPLACE) return EEXIST;
    if (replacedIno == ino) return 0;  // two names of one file: nothing to do
    if (node->IsDir() && !replaced->IsDir()) return ENOTDIR;
    if (!node->IsDir() && replaced->IsDir()) return EISDIR;
    if (replaced->IsDir() && !replaced->entries.empty()) return ENOTEMPTY;
  }
  if (node->IsDir() && IsWithin(newParent, ino)) return EINVAL;
  if (replaced) {
    int error = Unlink(newParent, newName, replaced->IsDir());
    if (error) return error;
  }
  from->entries.erase(name);
  to->entries[newName] = ino;
  node->name = newName;
  node->attr.ctime = Now();
  if (node->IsDir() && parent != newParent) {
    node->parent = newParent;
    from->nlink--;
    to->nlink++;
  }
  Touch(*from);
  Touch(*to);
  return 0;
}

int Store::Link(Ino ino, Ino newParent, const std::string& newName) {
  Node* node = Find(ino);
  Node* folder = Find(newParent);
  if (!node || !folder) return ENOENT;
  if (!folder->IsDir()) return ENOTDIR;
  if (node->IsDir()) return EPERM;
  if (folder->entries.count(newName)) return EEXIST;
  folder->entries[newName] = ino;
  node->nlink++;
  node->name = newName;
  node->attr.ctime = Now();
  Touch(*folder);
  return 0;
}

int Store::Write(Ino ino, const char* data, std::size_t size, off_t offset) {
  Node* node = Find(ino);
  if (!node) return ENOENT;
  if (node->IsDir()) return EISDIR;
  if (offset < 0) return EINVAL;
  std::size_t end = static_cast<std::size_t>(offset) + size;
  if (end > node->data.size()) node->data.resize(end, '\0');
  node->data.replace(static_cast<std::size_t>(offset), size, data, size);
  node->attr.mtime = node->attr.ctime = Now();
  return 0;
}

int Store::Truncate(Ino ino, off_t size) {
  Node* node = Find(ino);
  if (!node) return ENOENT;
  if (node->IsDir()) return EISDIR;
  if (size < 0) return EINVAL;
  node->data.resize(static_cast<std::size_t>(size), '\0');
  node->attr.mtime = node->attr.ctime = Now();
  return 0;
}

void Store::FsyncFile(Ino ino, bool dataOnly) {
  Node* node = Find(ino);
  if (!node) return;
  DurableNode& durable = durable_[ino];
  durable.data = node->data;
  if (!dataOnly) durable.attr = node->attr;
}

void Store::FsyncFolder(Ino ino, bool dataOnly) {
  Node* node = Find(ino);
  if (!node) return;
  DurableNode& durable = durable_[ino];
  durable.entries = node->entries;
  if (!dataOnly) durable.attr = node->attr;
}

void Store::Sync() {
  durable_.clear();
  for (auto& [ino, node] : live_) {
    // Files nobody names any more (open but unlinked) are not on the disk.
    if (node.nlink == 0) continue;
    durable_[ino] = DurableNode{node.attr, node.data, node.entries};
  }
}

void Store::ReleaseIfUnused(Ino ino) {
  if (ino == kRootIno) return;
  Node* node = Find(ino);
  if (node && node->nlink == 0 && node->lookups == 0 && node->opens == 0) live_.erase(ino);
}

std::uint64_t Store::BytesUsed() const {
  std::uint64_t used = 0;
  for (const auto& [ino, node] : live_) used += node.data.size();
  return used;
}

std::map<Ino, DurableNode> Store::DurableState() const {
  std::map<Ino, DurableNode> state;
  std::vector<Ino> pending{kRootIno};
  while (!pending.empty()) {
    Ino ino = pending.back();
    pending.pop_back();
    auto it = durable_.find(ino);
    if (it == durable_.end() || state.count(ino)) continue;
    state[ino] = it->second;
    for (const auto& [name, child] : it->second.entries) pending.push_back(child);
  }
  return state;
}

void Store::Restore(const std::map<Ino, DurableNode>& state) {
  live_.clear();
  durable_.clear();
  nextIno_ = kRootIno + 1;
  for (const auto& [ino, durable] : state) {
    durable_[ino] = durable;
    Node& node = live_[ino];
    node.attr = durable.attr;
    node.data = durable.data;
    node.entries = durable.entries;
    if (node.IsDir()) node.nlink = 2;
    if (ino >= nextIno_) nextIno_ = ino + 1;
  }
  live_[kRootIno].parent = kRootIno;
  // Link counts and parents follow from the entries found.
  for (auto& [ino, node] : live_) {
    for (const auto& [name, child] : node.entries) {
      Node& target = live_[child];
      target.name = name;
      if (target.IsDir()) {
        target.parent = ino;
        node.nlink++;
      } else {
        target.nlink++;
      }
    }
  }
}

}  // namespace faultfs
