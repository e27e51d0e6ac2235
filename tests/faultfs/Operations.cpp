// The FUSE low-level requests, each passed through the gate that counts it,
// fails it, or holds it once the power is gone.
//
// The session loop is single-threaded: the next request is read only after
// the one before has passed its gate, so "after the nth operation" is exact.
// flock and POSIX locks are left to the kernel (no lock handlers here): it
// keeps them locally, which serves every process of this machine.
#include "Operations.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace faultfs {

namespace {

Volume* g_volume = nullptr;
Volume& V() { return *g_volume; }
Store& S() { return g_volume->store; }

// No kernel caching of names or attributes: every look goes through the
// gate, and nothing stale is ever seen after a change of the tree.
constexpr double kTimeout = 0.0;

class Gate {
 public:
  Gate(fuse_req_t req, Op op) : lock_(V().mutex) {
    Faults& faults = V().faults;
    V().released.wait(lock_, [&] { return faults.power != Faults::Power::Cut; });
    if (faults.power == Faults::Power::Released) {
      error_ = EIO;
      return;
    }
    Faults::Verdict verdict = faults.Count(op);
    error_ = verdict.error;
    cutAfter_ = verdict.cutAfter;
    // The machine stops with this operation: its caller must not run on once
    // it has the answer (the answer wakes it at once, before this gate closes).
    // Requests the kernel makes on its own (an asynchronous release) have no caller.
    pid_t caller = fuse_req_ctx(req)->pid;
    if ((cutAfter_ || verdict.stopCaller) && caller > 0 && caller != getpid()) kill(caller, SIGSTOP);
  }
  ~Gate() {
    if (cutAfter_) V().CutPower();
  }
  Gate(const Gate&) = delete;
  Gate& operator=(const Gate&) = delete;
  // Answers the error the faults chose; true when the request is done with.
  bool Refused(fuse_req_t req) const {
    if (error_ == 0) return false;
    fuse_reply_err(req, error_);
    return true;
  }

 private:
  std::unique_lock<std::mutex> lock_;
  int error_ = 0;
  bool cutAfter_ = false;
};

struct stat StatOf(Ino ino, const Node& node) {
  struct stat st {};
  st.st_ino = ino;
  st.st_mode = node.attr.mode;
  st.st_nlink = node.nlink;
  st.st_uid = node.attr.uid;
  st.st_gid = node.attr.gid;
  st.st_size = node.IsDir() ? 4096 : static_cast<off_t>(node.data.size());
  st.st_blksize = 4096;
  st.st_blocks = (st.st_size + 511) / 512;
  st.st_atim = node.attr.atime;
  st.st_mtim = node.attr.mtime;
  st.st_ctim = node.attr.ctime;
  return st;
}

void ReplyEntry(fuse_req_t req, Ino ino) {
  Node* node = S().Find(ino);
  node->lookups++;
  fuse_entry_param entry{};
  entry.ino = ino;
  entry.attr = StatOf(ino, *node);
  entry.attr_timeout = kTimeout;
  entry.entry_timeout = kTimeout;
  fuse_reply_entry(req, &entry);
}

void Init(void*, fuse_conn_info* conn) {
  // A truncating open arrives as its own setattr, so it is counted and can
  // be cut like any other change.
  conn->want &= ~FUSE_CAP_ATOMIC_O_TRUNC;
  conn->want &= ~FUSE_CAP_WRITEBACK_CACHE;
}

void Lookup(fuse_req_t req, fuse_ino_t parent, const char* name) {
  Gate gate(req, Op::Lookup);
  if (gate.Refused(req)) return;
  Ino ino = 0;
  if (!S().Lookup(parent, name, &ino)) return (void)fuse_reply_err(req, ENOENT);
  ReplyEntry(req, ino);
}

void Forget(fuse_req_t req, fuse_ino_t ino, uint64_t lookups) {
  {
    std::lock_guard<std::mutex> lock(V().mutex);
    if (Node* node = S().Find(ino)) {
      node->lookups -= std::min<std::uint64_t>(lookups, node->lookups);
      S().ReleaseIfUnused(ino);
    }
  }
  fuse_reply_none(req);
}

void ForgetMulti(fuse_req_t req, size_t count, fuse_forget_data* forgets) {
  {
    std::lock_guard<std::mutex> lock(V().mutex);
    for (size_t i = 0; i < count; ++i) {
      if (Node* node = S().Find(forgets[i].ino)) {
        node->lookups -= std::min<std::uint64_t>(forgets[i].nlookup, node->lookups);
        S().ReleaseIfUnused(forgets[i].ino);
      }
    }
  }
  fuse_reply_none(req);
}

void Getattr(fuse_req_t req, fuse_ino_t ino, fuse_file_info*) {
  Gate gate(req, Op::Getattr);
  if (gate.Refused(req)) return;
  Node* node = S().Find(ino);
  if (!node) return (void)fuse_reply_err(req, ENOENT);
  struct stat st = StatOf(ino, *node);
  fuse_reply_attr(req, &st, kTimeout);
}

void Setattr(fuse_req_t req, fuse_ino_t ino, struct stat* attr, int toSet, fuse_file_info*) {
  Gate gate(req, Op::Setattr);
  if (gate.Refused(req)) return;
  Node* node = S().Find(ino);
  if (!node) return (void)fuse_reply_err(req, ENOENT);
  if (toSet & FUSE_SET_ATTR_SIZE) {
    if (int error = S().Truncate(ino, attr->st_size)) return (void)fuse_reply_err(req, error);
  }
  Attributes& a = node->attr;
  if (toSet & FUSE_SET_ATTR_MODE) a.mode = (a.mode & S_IFMT) | (attr->st_mode & 07777);
  if (toSet & FUSE_SET_ATTR_UID) a.uid = attr->st_uid;
  if (toSet & FUSE_SET_ATTR_GID) a.gid = attr->st_gid;
  const timespec now = Store::Now();
  if (toSet & FUSE_SET_ATTR_ATIME_NOW) a.atime = now;
  else if (toSet & FUSE_SET_ATTR_ATIME) a.atime = attr->st_atim;
  if (toSet & FUSE_SET_ATTR_MTIME_NOW) a.mtime = now;
  else if (toSet & FUSE_SET_ATTR_MTIME) a.mtime = attr->st_mtim;
  a.ctime = (toSet & FUSE_SET_ATTR_CTIME) ? attr->st_ctim : now;
  struct stat st = StatOf(ino, *node);
  fuse_reply_attr(req, &st, kTimeout);
}

void MakeNode(fuse_req_t req, Op op, fuse_ino_t parent, const char* name, mode_t mode) {
  Gate gate(req, op);
  if (gate.Refused(req)) return;
  const fuse_ctx* who = fuse_req_ctx(req);
  Ino ino = 0;
  if (int error = S().Create(parent, name, mode, who->uid, who->gid, ino)) return (void)fuse_reply_err(req, error);
  ReplyEntry(req, ino);
}

void Mknod(fuse_req_t req, fuse_ino_t parent, const char* name, mode_t mode, dev_t) {
  MakeNode(req, Op::Mknod, parent, name, mode);
}

void Mkdir(fuse_req_t req, fuse_ino_t parent, const char* name, mode_t mode) {
  MakeNode(req, Op::Mkdir, parent, name, S_IFDIR | (mode & 07777));
}

void Unlink(fuse_req_t req, fuse_ino_t parent, const char* name) {
  Gate gate(req, Op::Unlink);
  if (gate.Refused(req)) return;
  fuse_reply_err(req, S().Unlink(parent, name, false));
}

void Rmdir(fuse_req_t req, fuse_ino_t parent, const char* name) {
  Gate gate(req, Op::Rmdir);
  if (gate.Refused(req)) return;
  fuse_reply_err(req, S().Unlink(parent, name, true));
}

void Rename(fuse_req_t req, fuse_ino_t parent, const char* name, fuse_ino_t newParent, const char* newName,
            unsigned int flags) {
  Gate gate(req, Op::Rename);
  if (gate.Refused(req)) return;
  fuse_reply_err(req, S().Rename(parent, name, newParent, newName, flags));
}

void Link(fuse_req_t req, fuse_ino_t ino, fuse_ino_t newParent, const char* newName) {
  Gate gate(req, Op::Link);
  if (gate.Refused(req)) return;
  if (int error = S().Link(ino, newParent, newName)) return (void)fuse_reply_err(req, error);
  ReplyEntry(req, ino);
}

void OpenFile(fuse_file_info* fi, Node& node) {
  node.opens++;
  fi->direct_io = V().directIo;
  // Unless told otherwise, a new open drops the kernel's copy and reads what
  // is stored.
  fi->keep_cache = V().keepCache;
}

void Open(fuse_req_t req, fuse_ino_t ino, fuse_file_info* fi) {
  Gate gate(req, Op::Open);
  if (gate.Refused(req)) return;
  Node* node = S().Find(ino);
  if (!node) return (void)fuse_reply_err(req, ENOENT);
  if (node->IsDir()) return (void)fuse_reply_err(req, EISDIR);
  OpenFile(fi, *node);
  fuse_reply_open(req, fi);
}

void Create(fuse_req_t req, fuse_ino_t parent, const char* name, mode_t mode, fuse_file_info* fi) {
  Gate gate(req, Op::Create);
  if (gate.Refused(req)) return;
  const fuse_ctx* who = fuse_req_ctx(req);
  Ino ino = 0;
  if (int error = S().Create(parent, name, S_IFREG | (mode & 07777), who->uid, who->gid, ino))
    return (void)fuse_reply_err(req, error);
  Node* node = S().Find(ino);
  node->lookups++;
  OpenFile(fi, *node);
  fuse_entry_param entry{};
  entry.ino = ino;
  entry.attr = StatOf(ino, *node);
  fuse_reply_create(req, &entry, fi);
}

void Read(fuse_req_t req, fuse_ino_t ino, size_t size, off_t offset, fuse_file_info*) {
  Gate gate(req, Op::Read);
  if (gate.Refused(req)) return;
  Node* node = S().Find(ino);
  if (!node) return (void)fuse_reply_err(req, ENOENT);
  const std::string& data = node->data;
  if (offset < 0 || static_cast<std::size_t>(offset) >= data.size()) return (void)fuse_reply_buf(req, nullptr, 0);
  std::size_t length = std::min(size, data.size() - static_cast<std::size_t>(offset));
  V().PaceRead(length);
  fuse_reply_buf(req, data.data() + offset, length);
}

void Write(fuse_req_t req, fuse_ino_t ino, const char* buffer, size_t size, off_t offset, fuse_file_info*) {
  Gate gate(req, Op::Write);
  if (gate.Refused(req)) return;
  Node* node = S().Find(ino);
  if (!node) return (void)fuse_reply_err(req, ENOENT);
  const std::uint64_t end = static_cast<std::uint64_t>(offset) + size;
  if (end > node->data.size() && S().BytesUsed() + (end - node->data.size()) > V().capacity)
    return (void)fuse_reply_err(req, ENOSPC);
  std::string stored(buffer, size);
  // One bit of the middle byte, so that headers and sizes still look right.
  if (size > 0 && V().faults.Corrupts(ino, node->name)) stored[size / 2] ^= 0x01;
  if (int error = S().Write(ino, stored.data(), size, offset)) return (void)fuse_reply_err(req, error);
  fuse_reply_write(req, size);
}

void Flush(fuse_req_t req, fuse_ino_t, fuse_file_info*) {
  Gate gate(req, Op::Flush);
  if (gate.Refused(req)) return;
  fuse_reply_err(req, 0);
}

void Release(fuse_req_t req, fuse_ino_t ino, fuse_file_info*) {
  Gate gate(req, Op::Release);
  if (Node* node = S().Find(ino)) {
    if (node->opens > 0) node->opens--;
    S().ReleaseIfUnused(ino);
  }
  if (gate.Refused(req)) return;
  fuse_reply_err(req, 0);
}

void Fsync(fuse_req_t req, fuse_ino_t ino, int dataOnly, fuse_file_info*) {
  Gate gate(req, Op::Fsync);
  if (gate.Refused(req)) return;
  S().FsyncFile(ino, dataOnly != 0);
  fuse_reply_err(req, 0);
}

// A folder's listing is taken whole at opendir, so that entries added or
// removed while it is read neither vanish nor repeat.
struct Listing {
  struct Entry {
    std::string name;
    Ino ino;
    mode_t mode;
  };
  std::vector<Entry> entries;
};

void Opendir(fuse_req_t req, fuse_ino_t ino, fuse_file_info* fi) {
  Gate gate(req, Op::Opendir);
  if (gate.Refused(req)) return;
  Node* node = S().Find(ino);
  if (!node) return (void)fuse_reply_err(req, ENOENT);
  if (!node->IsDir()) return (void)fuse_reply_err(req, ENOTDIR);
  auto listing = std::make_unique<Listing>();
  listing->entries.push_back({".", ino, S_IFDIR});
  listing->entries.push_back({"..", node->parent, S_IFDIR});
  for (const auto& [name, child] : node->entries)
    listing->entries.push_back({name, child, S().Find(child)->attr.mode});
  fi->fh = reinterpret_cast<uint64_t>(listing.release());
  fuse_reply_open(req, fi);
}

void Readdir(fuse_req_t req, fuse_ino_t, size_t size, off_t offset, fuse_file_info* fi) {
  Gate gate(req, Op::Readdir);
  if (gate.Refused(req)) return;
  const Listing& listing = *reinterpret_cast<Listing*>(fi->fh);
  std::vector<char> buffer(size);
  std::size_t used = 0;
  for (std::size_t i = static_cast<std::size_t>(offset); i < listing.entries.size(); ++i) {
    const Listing::Entry& entry = listing.entries[i];
    struct stat st {};
    st.st_ino = entry.ino;
    st.st_mode = entry.mode;
    std::size_t need = fuse_add_direntry(req, buffer.data() + used, size - used, entry.name.c_str(), &st,
                                         static_cast<off_t>(i + 1));
    if (need > size - used) break;
    used += need;
  }
  fuse_reply_buf(req, buffer.data(), used);
}

void Releasedir(fuse_req_t req, fuse_ino_t, fuse_file_info* fi) {
  Gate gate(req, Op::Releasedir);
  delete reinterpret_cast<Listing*>(fi->fh);
  if (gate.Refused(req)) return;
  fuse_reply_err(req, 0);
}

void Fsyncdir(fuse_req_t req, fuse_ino_t ino, int dataOnly, fuse_file_info*) {
  Gate gate(req, Op::Fsyncdir);
  if (gate.Refused(req)) return;
  S().FsyncFolder(ino, dataOnly != 0);
  fuse_reply_err(req, 0);
}

void Statfs(fuse_req_t req, fuse_ino_t) {
  Gate gate(req, Op::Statfs);
  if (gate.Refused(req)) return;
  constexpr unsigned long kBlock = 4096;
  const std::uint64_t used = S().BytesUsed();
  const std::uint64_t capacity = V().capacity;
  struct statvfs vfs {};
  vfs.f_bsize = vfs.f_frsize = kBlock;
  vfs.f_blocks = capacity / kBlock;
  vfs.f_bfree = vfs.f_bavail = used >= capacity ? 0 : (capacity - used) / kBlock;
  vfs.f_files = 1 << 20;
  vfs.f_ffree = vfs.f_favail = 1 << 19;
  vfs.f_namemax = 255;
  fuse_reply_statfs(req, &vfs);
}

}  // namespace

fuse_lowlevel_ops Operations(Volume& volume) {
  g_volume = &volume;
  fuse_lowlevel_ops ops{};
  ops.init = Init;
  ops.lookup = Lookup;
  ops.forget = Forget;
  ops.forget_multi = ForgetMulti;
  ops.getattr = Getattr;
  ops.setattr = Setattr;
  ops.mknod = Mknod;
  ops.mkdir = Mkdir;
  ops.unlink = Unlink;
  ops.rmdir = Rmdir;
  ops.rename = Rename;
  ops.link = Link;
  ops.open = Open;
  ops.read = Read;
  ops.write = Write;
  ops.flush = Flush;
  ops.release = Release;
  ops.fsync = Fsync;
  ops.opendir = Opendir;
  ops.readdir = Readdir;
  ops.releasedir = Releasedir;
  ops.fsyncdir = Fsyncdir;
  ops.statfs = Statfs;
  ops.create = Create;
  return ops;
}

}  // namespace faultfs
