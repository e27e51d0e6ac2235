// The in-memory file tree of faultfs and, beside it, the state that would be
// found on the disk after a power cut. Only the calls named below move a
// change into that durable state; everything else lives in memory only.
//
// Durability model (strict, what POSIX promises and no more):
//  - A file's data and attributes become durable when the file is fsynced
//    (fdatasync: its data and size only). A file never fsynced is durably
//    empty, with the attributes it was created with.
//  - A folder's entries (creates, links, renames, unlinks, mkdir, rmdir in
//    it) become durable when that folder is fsynced; the fsync records all
//    of its entries as they are at that moment, nothing of its subfolders.
//  - A rename across folders is durable only when both folders have been
//    fsynced. With only the target folder fsynced the file durably has both
//    names; with only the source folder fsynced it durably has neither.
//  - An inode exists after a cut exactly when a durable entry reaches it from
//    the root; link counts are recounted from the durable entries.
//  - Sync() (the control command, standing in for syncfs, which FUSE does not
//    pass on) and a clean unmount make everything durable.
#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <cstdint>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

namespace faultfs {

using Ino = std::uint64_t;
constexpr Ino kRootIno = 1;

struct Attributes {
  mode_t mode = 0;  // type and permission bits
  uid_t uid = 0;
  gid_t gid = 0;
  timespec atime{}, mtime{}, ctime{};
};

// What survives a power cut of one inode.
struct DurableNode {
  Attributes attr;
  std::string data;                     // files
  std::map<std::string, Ino> entries;   // folders
};

struct Node {
  Attributes attr;
  std::string data;
  std::map<std::string, Ino> entries;
  Ino parent = 0;            // folders: the folder holding them
  std::string name;          // the name it was last given, for corruption by name
  nlink_t nlink = 0;
  std::uint64_t lookups = 0; // references the kernel holds
  std::uint64_t opens = 0;
  bool IsDir() const { return S_ISDIR(attr.mode); }
};

class Store {
 public:
  // An empty volume: a root folder only, durable as it is.
  Store();

  Node* Find(Ino ino);
  // The inode a folder entry names, or nullptr.
  Node* Lookup(Ino parent, const std::string& name, Ino* ino = nullptr);

  // Each returns 0 or an errno value.
  int Create(Ino parent, const std::string& name, mode_t mode, uid_t uid, gid_t gid, Ino& created);
  int Unlink(Ino parent, const std::string& name, bool folder);
  int Rename(Ino parent, const std::string& name, Ino newParent, const std::string& newName, unsigned flags);
  int Link(Ino ino, Ino newParent, const std::string& newName);
  int Write(Ino ino, const char* data, std::size_t size, off_t offset);
  int Truncate(Ino ino, off_t size);

  void FsyncFile(Ino ino, bool dataOnly);
  void FsyncFolder(Ino ino, bool dataOnly);
  void Sync();

  // Drops an inode nobody names or holds any more.
  void ReleaseIfUnused(Ino ino);
  std::uint64_t BytesUsed() const;

  // The durable state as it stands, only what the root still reaches.
  std::map<Ino, DurableNode> DurableState() const;
  // Replaces everything, live and durable, with a state read back from disk.
  void Restore(const std::map<Ino, DurableNode>& state);

  static timespec Now();

 private:
  Node& NewNode(mode_t mode, uid_t uid, gid_t gid);
  void Touch(Node& folder);
  bool IsWithin(Ino folder, Ino ancestor);

  std::unordered_map<Ino, Node> live_;
  std::unordered_map<Ino, DurableNode> durable_;
  Ino nextIno_ = kRootIno + 1;
};

}  // namespace faultfs
