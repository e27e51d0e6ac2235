// faultfs: a FUSE file system for tests that keeps everything in memory and
// misbehaves on command: it corrupts stored data, loses power, fails chosen
// operations, and counts what it is asked to do.
//
//   faultfs [--image FILE] [--control SOCKET] [--size BYTES] [--direct-io] [--keep-cache] [--read-rate BYTES] [--debug] MOUNTPOINT
//   faultfs ctl SOCKET COMMAND...
//
// The first form mounts a volume and serves it in the foreground until it is
// unmounted (umount / fusermount3 -u). --image FILE: the volume starts with
// the state saved in FILE (when FILE exists; else empty), and FILE receives
// the durable state when power is cut, or everything at a clean unmount.
// --size: the capacity statfs reports and writes respect (default 4 GiB).
// --direct-io: every open bypasses the page cache. --keep-cache: an open
// keeps what the kernel holds of the file, as a disk's file system does
// (corruption then shows only once that copy is gone). --read-rate: reads are
// served at so many bytes a second, one after the other, like a card that
// cannot make up for a moment nobody read from it (the lock is held while a
// read waits, so commands wait too). --control SOCKET: where
// commands are taken, a Unix socket outside the mounted tree.
//
// The second form sends one command and prints the answer ("ok ..." or
// "error: ..."; exit status 0 or 1). Commands:
//   status                   ok on | ok cut after any=N | ok released after any=N
//   count                    ok any=N change=N lookup=N getattr=N ... (since mount or reset)
//   reset                    counters to zero, every rule dropped
//   cut WHICH N              power goes right after the Nth WHICH operation from now
//   cut now                  power goes at once
//   release                  after a cut: held requests and all later ones get EIO
//   fail WHICH N ERR         the Nth WHICH operation from now answers ERR (EIO, ENOSPC, ...)
//   fail-from WHICH N ERR    ... and so does every later one
//   stop WHICH N             the caller of the Nth WHICH operation from now is stopped
//                            (SIGSTOP) before it hears the answer; SIGCONT lets it go on
//   corrupt all|off          data written from now on is stored with a flipped bit
//   corrupt name GLOB        ... to files whose name (at the time of the write) matches
//   corrupt nth N            ... to the Nth file written to from now on
//   sync                     everything becomes durable (FUSE never passes syncfs on)
//   save-live FILE           what the volume holds in memory now, all of it, as an image
//                            (also after a cut: what the program had written by then)
// WHICH is "any", "change" (setattr, mknod, mkdir, unlink, rmdir, rename,
// link, write, fsync, fsyncdir, create) or one operation's name as in
// `count`. Every request counts, whatever its outcome.
//
// A power cut: the operation that triggers it takes effect; its caller is
// stopped (SIGSTOP) before it hears the answer, as the whole machine would
// stop, so it changes nothing on other volumes (the card) after the cut
// either; the durable state (see Store.h for the strict model) is written to
// the image; and every later request is held unanswered, so nothing more
// lands. The test kills the program, sends `release`, unmounts, and mounts
// the image again: the volume after the "reboot".
//
// Corrupted data reads back damaged once the kernel's copy is gone: after
// posix_fadvise(POSIX_FADV_DONTNEED), after a new open (no open keeps the
// cache), through O_DIRECT, and always with --direct-io.
#include <fuse_lowlevel.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "ControlSocket.h"
#include "Image.h"
#include "Operations.h"
#include "Volume.h"

namespace {

int Usage() {
  std::fprintf(stderr,
               "usage: faultfs [--image FILE] [--control SOCKET] [--size BYTES] [--direct-io] [--keep-cache] [--read-rate BYTES] [--debug] "
               "MOUNTPOINT\n"
               "       faultfs ctl SOCKET COMMAND...\n");
  return 2;
}

int Serve(int argc, char** argv) {
  // Never destroyed: the control thread may still be answering as the process ends.
  static faultfs::Volume* const served = new faultfs::Volume;
  faultfs::Volume& volume = *served;
  volume.capacity = 4ULL << 30;
  std::string control, mountpoint;
  bool debug = false;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    bool more = i + 1 < argc;
    if (arg == "--image" && more) volume.imagePath = argv[++i];
    else if (arg == "--control" && more) control = argv[++i];
    else if (arg == "--size" && more) volume.capacity = std::strtoull(argv[++i], nullptr, 10);
    else if (arg == "--direct-io") volume.directIo = true;
    else if (arg == "--keep-cache") volume.keepCache = true;
    else if (arg == "--read-rate" && more) volume.readRate = std::strtoull(argv[++i], nullptr, 10);
    else if (arg == "--debug") debug = true;
    else if (mountpoint.empty() && arg[0] != '-') mountpoint = arg;
    else return Usage();
  }
  if (mountpoint.empty()) return Usage();

  std::string error;
  if (!volume.imagePath.empty() && access(volume.imagePath.c_str(), F_OK) == 0) {
    std::map<faultfs::Ino, faultfs::DurableNode> state;
    if (!faultfs::LoadImage(volume.imagePath, state, error)) {
      std::fprintf(stderr, "faultfs: %s\n", error.c_str());
      return 1;
    }
    volume.store.Restore(state);
  }
  int listening = -1;
  if (!control.empty() && (listening = faultfs::BindControl(control, error)) < 0) {
    std::fprintf(stderr, "faultfs: %s\n", error.c_str());
    return 1;
  }

  std::vector<const char*> fuseArgs{argv[0], "-o", "default_permissions,fsname=faultfs,subtype=faultfs"};
  if (debug) fuseArgs.push_back("-d");
  fuse_args args = FUSE_ARGS_INIT(static_cast<int>(fuseArgs.size()), const_cast<char**>(fuseArgs.data()));
  fuse_lowlevel_ops ops = faultfs::Operations(volume);
  fuse_session* session = fuse_session_new(&args, &ops, sizeof ops, &volume);
  fuse_opt_free_args(&args);
  if (!session) return 1;
  int status = 1;
  if (fuse_set_signal_handlers(session) == 0) {
    if (fuse_session_mount(session, mountpoint.c_str()) == 0) {
      if (listening >= 0) faultfs::ServeControl(volume, listening);
      status = fuse_session_loop(session) == 0 ? 0 : 1;
      fuse_session_unmount(session);
    }
    fuse_remove_signal_handlers(session);
  }
  fuse_session_destroy(session);
  {
    std::lock_guard<std::mutex> lock(volume.mutex);
    volume.SaveOnUnmount();
    if (!volume.lastError.empty()) {
      std::fprintf(stderr, "faultfs: %s\n", volume.lastError.c_str());
      status = 1;
    }
  }
  if (!control.empty()) unlink(control.c_str());
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 2 && std::strcmp(argv[1], "ctl") == 0) {
    if (argc < 4) return Usage();
    std::string command;
    for (int i = 3; i < argc; ++i) command += std::string(i > 3 ? " " : "") + argv[i];
    return faultfs::SendCommand(argv[2], command);
  }
  return Serve(argc, argv);
}
