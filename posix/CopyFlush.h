#pragma once
// How the copies of a move across volumes become durable. Anywhere, each
// copy can be flushed on its own (fsync), several at once from a few
// threads. Where the file system's flush of a whole volume (syncfs) is known
// to write every file, name and time and to empty the drive's cache, each
// copy's data is only written out, and one flush of the volume for all the
// copies of a batch makes them durable together: one wait for the drive
// instead of one for each picture, which is what many small pictures cost.
// A FUSE file system (exFAT or NTFS drives on many systems) never hears of
// a volume's flush, so copies there are always flushed one by one.
namespace quillfen::posix {

enum class CopyFlush {
  EachFile,     // fsync of each copy: data, size and times durable
  WholeVolume,  // each copy's data written out; FlushVolume makes it durable
};

// How copies in the open folder become durable.
CopyFlush CopyFlushOf(int folder);

// Writes the copy open as `fd` to the disk, as `how` says: durably for
// EachFile, its data only for WholeVolume. Returns 0 or the errno.
int FlushCopy(int fd, CopyFlush how);

// Starts writing the copy's data to the disk and returns at once, so that
// the drive is busy while the next picture is read. Only a head start: the
// flush that follows tells whether it worked.
void StartWriting(int fd);

// Makes everything written to the volume of the open folder durable.
// Returns 0 or the errno.
int FlushVolume(int folder);

}  // namespace quillfen::posix
