# faultfs, the file system under the power-cut tests, does what they rely on:
# it serves the calls the program makes on a target volume, stores damaged
# data where told, keeps after a power cut exactly what was flushed (strict
# model, tests/faultfs/Store.h), and fails the chosen operation.
source "$(dirname "$0")/lib/common.sh"
source "$(dirname "$0")/lib/faultfs.sh"
qf_need_faultfs
command -v python3 >/dev/null || qf_skip "python3 is not installed"

mnt=$QF_WORK/mnt
image=$QF_WORK/image
# py CODE ARG...: a few lines of Python for the calls the shell has no word for.
py_helpers='import os, sys, ctypes, mmap
libc = ctypes.CDLL(None, use_errno=True)
def renameat2(a, b, flags):
    if libc.renameat2(-100, a.encode(), -100, b.encode(), flags) != 0:
        raise OSError(ctypes.get_errno(), os.strerror(ctypes.get_errno()), b)
def fsync_dir(d):
    fd = os.open(d, os.O_RDONLY | os.O_DIRECTORY); os.fsync(fd); os.close(fd)
def put(path, data, sync_file=False, sync_dir=False):
    fd = os.open(path, os.O_WRONLY | os.O_CREAT | os.O_TRUNC, 0o644); os.write(fd, data)
    if sync_file: os.fsync(fd)
    os.close(fd)
    if sync_dir: fsync_dir(os.path.dirname(path))'
py() { python3 -c "$py_helpers
$1" "${@:2}"; }
content() { if [[ -e $1 ]]; then cat "$1"; else echo "(absent)"; fi; }
expect() { [[ $(content "$1") == "$2" ]] || qf_fail "$3: $1 holds '$(content "$1")', not '$2'"; }

# --- What the program does on a target volume ---
ffs_mount "$mnt" "$image" --size $((64 << 20))
[[ $(df -B1 --output=size "$mnt" | tail -1 | tr -d ' ') == $((64 << 20)) ]] || qf_fail "statfs does not report the size"
echo one >"$mnt/a"
echo two >"$mnt/b"
py 'renameat2(sys.argv[1], sys.argv[2], 1)' "$mnt/a" "$mnt/b" 2>/dev/null && qf_fail "a no-replace rename replaced"
expect "$mnt/b" two "a refused no-replace rename"
py 'renameat2(sys.argv[1], sys.argv[2], 1)' "$mnt/a" "$mnt/c" || qf_fail "a no-replace rename to a free name failed"
py 'os.open(sys.argv[1], os.O_CREAT | os.O_EXCL | os.O_WRONLY)' "$mnt/c" 2>/dev/null && qf_fail "O_EXCL opened an existing file"
ln "$mnt/c" "$mnt/d" && rm "$mnt/c"
expect "$mnt/d" one "link and unlink"
mv "$mnt/d" "$mnt/b"
expect "$mnt/b" one "a plain rename replaces"
touch -d '2021-02-03 04:05:06.123456789' "$mnt/b" && chmod 640 "$mnt/b"
[[ $(stat -c '%y %a' "$mnt/b") == "2021-02-03 04:05:06.123456789 "*" 640" ]] || qf_fail "times or mode not kept: $(stat -c '%y %a' "$mnt/b")"
truncate -s 2 "$mnt/b" && expect "$mnt/b" on "truncate"
mkdir "$mnt/many"
for ((i = 0; i < 300; i++)); do : >"$mnt/many/a-rather-long-name-for-a-picture-$i.JPG"; done
[[ $(ls "$mnt/many" | wc -l) == 300 ]] || qf_fail "a listing of 300 entries is not whole"
rm -r "$mnt/many" && [[ ! -e $mnt/many ]] || qf_fail "rmdir"
# flock is kept by the kernel for FUSE: a second holder is refused.
flock "$mnt/.lock" -c "flock -n '$mnt/.lock' true" && qf_fail "flock on faultfs does not exclude"
echo "PASS: the calls of a move and of a settings write"

# --- Corruption: a damaged copy is what a reader gets once the cache is gone ---
head -c 300000 /dev/urandom >"$QF_WORK/picture"
ffs_ctl corrupt name '*.JPG' >/dev/null
cp "$QF_WORK/picture" "$mnt/IMG_1.JPG"
cp "$QF_WORK/picture" "$mnt/notes.txt"
py '
fd = os.open(sys.argv[1], os.O_RDONLY)
os.posix_fadvise(fd, 0, 0, os.POSIX_FADV_DONTNEED)
sys.exit(0 if os.read(fd, 1 << 20) != open(sys.argv[2], "rb").read() else 1)' "$mnt/IMG_1.JPG" "$QF_WORK/picture" ||
  qf_fail "a corrupted file read back whole after POSIX_FADV_DONTNEED"
cmp -s "$mnt/IMG_1.JPG" "$QF_WORK/picture" && qf_fail "a corrupted file read back whole when opened again"
cmp -s "$mnt/notes.txt" "$QF_WORK/picture" || qf_fail "a file the rule does not name was damaged"
py '
try:
    fd = os.open(sys.argv[1], os.O_RDONLY | os.O_DIRECT)
except OSError as e:
    sys.exit(0 if e.errno == 22 else 2)
buffer = mmap.mmap(-1, 1 << 20)
n = os.readv(fd, [buffer])
sys.exit(0 if buffer[:n] != open(sys.argv[2], "rb").read() else 1)' "$mnt/IMG_1.JPG" "$QF_WORK/picture" ||
  qf_fail "O_DIRECT neither refused (EINVAL) nor read the stored, damaged bytes"
ffs_ctl corrupt nth 2 >/dev/null
for i in 1 2 3; do cp "$QF_WORK/picture" "$mnt/nth-$i"; done
for i in 1 2 3; do
  if cmp -s "$mnt/nth-$i" "$QF_WORK/picture"; then [[ $i != 2 ]] || qf_fail "the 2nd file written is whole"
  else [[ $i == 2 ]] || qf_fail "file $i of 3 is damaged, only the 2nd was to be"; fi
done
ffs_ctl corrupt off >/dev/null
echo "PASS: corruption by name and by number, seen after the cache is dropped and through O_DIRECT"

# --- Power cut: only what was flushed survives ---
rm -rf "${mnt:?}"/*
for d in new fsynced listed whole renamed renamed-listed unlinked unlinked-listed rewritten rewritten-synced from to day; do
  mkdir "$mnt/$d"
done
for d in renamed renamed-listed unlinked unlinked-listed rewritten rewritten-synced from; do echo old >"$mnt/$d/f"; done
ffs_ctl sync >/dev/null
py 'put(sys.argv[1] + "/new/f", b"x")' "$mnt"
py 'put(sys.argv[1] + "/fsynced/f", b"x", sync_file=True)' "$mnt"
py 'put(sys.argv[1] + "/listed/f", b"x", sync_dir=True)' "$mnt"
py 'put(sys.argv[1] + "/whole/f", b"x", sync_file=True, sync_dir=True)' "$mnt"
mv "$mnt/renamed/f" "$mnt/renamed/g"
mv "$mnt/renamed-listed/f" "$mnt/renamed-listed/g" && py 'fsync_dir(sys.argv[1])' "$mnt/renamed-listed"
rm "$mnt/unlinked/f"
rm "$mnt/unlinked-listed/f" && py 'fsync_dir(sys.argv[1])' "$mnt/unlinked-listed"
echo new >"$mnt/rewritten/f"
py 'put(sys.argv[1], b"new\n", sync_file=True)' "$mnt/rewritten-synced/f"
mv "$mnt/from/f" "$mnt/to/f" && py 'fsync_dir(sys.argv[1])' "$mnt/to"
mkdir "$mnt/day/230601"
py 'put(sys.argv[1] + "/230601/f", b"x", sync_file=True, sync_dir=True)' "$mnt/day"
ffs_ctl cut now >/dev/null
(echo late >"$mnt/late") 2>/dev/null &
late=$!
ffs_ctl release >/dev/null
wait "$late" && qf_fail "a write after the power cut succeeded"
ffs_unmount
ffs_mount "$mnt" "$image"
expect "$mnt/new/f" "(absent)" "a new, unflushed file"
expect "$mnt/fsynced/f" "(absent)" "a new file whose folder was not flushed"
expect "$mnt/listed/f" "" "a new file whose folder alone was flushed (durably empty)"
expect "$mnt/whole/f" x "a new file, flushed with its folder"
expect "$mnt/renamed/f" old "the old name of an unflushed rename"
expect "$mnt/renamed/g" "(absent)" "the new name of an unflushed rename"
expect "$mnt/renamed-listed/f" "(absent)" "the old name of a flushed rename"
expect "$mnt/renamed-listed/g" old "the new name of a flushed rename"
expect "$mnt/unlinked/f" old "an unflushed unlink"
expect "$mnt/unlinked-listed/f" "(absent)" "a flushed unlink"
expect "$mnt/rewritten/f" old "unflushed data"
expect "$mnt/rewritten-synced/f" new "flushed data"
expect "$mnt/from/f" old "a rename across folders, only the target flushed (the source keeps it)"
expect "$mnt/to/f" old "a rename across folders, only the target flushed"
[[ ! -e $mnt/day/230601 ]] || qf_fail "a new folder survived though its parent was not flushed"
[[ ! -e $mnt/late ]] || qf_fail "a file made after the power cut is there"
echo "PASS: after a cut, exactly the flushed creates, renames, unlinks and data remain"

# A cut after a counted operation stops its caller on the spot: nothing of
# what the writer would have done next lands.
ffs_ctl cut fsyncdir 2 >/dev/null
python3 -c "$py_helpers
for name in 'a', 'b', 'c':
    put(sys.argv[1] + '/' + name, b'x', sync_file=True, sync_dir=True)
    open(sys.argv[2], 'a').write(name)" "$mnt/whole" "$QF_WORK/progress" 2>/dev/null &
writer=$!
until ffs_is_cut; do
  kill -0 "$writer" 2>/dev/null || qf_fail "the writer ended though power was to go at its 2nd fsyncdir"
  sleep 0.02
done
{
  kill -KILL "$writer"
  ffs_ctl release >/dev/null
  wait "$writer" || true
} 2>/dev/null  # not the shell's note of the killed job
ffs_unmount
ffs_mount "$mnt" "$image"
expect "$mnt/whole/a" x "a file flushed before the cut"
expect "$mnt/whole/b" x "the file whose fsyncdir was the cut point"
expect "$mnt/whole/c" "(absent)" "a file begun after the cut"
expect "$QF_WORK/progress" a "the writer's own record, off the volume, of what it did before the cut"
echo "PASS: a counted cut stops the program where it was"

# --- Failing the nth operation, and counting ---
ffs_ctl reset >/dev/null
py 'put(sys.argv[1], b"x", sync_file=True, sync_dir=True)' "$mnt/counted"
[[ $(ffs_count create) == 1 && $(ffs_count write) == 1 && $(ffs_count fsync) == 1 && $(ffs_count fsyncdir) == 1 ]] ||
  qf_fail "the counts of one flushed create are wrong: $(ffs_ctl count)"
ffs_ctl fail write 2 ENOSPC >/dev/null
py '
fd = os.open(sys.argv[1], os.O_WRONLY | os.O_CREAT, 0o644)
results = []
for i in range(3):
    try:
        os.pwrite(fd, b"y" * 4096, i * 4096); results.append("ok")
    except OSError as e:
        results.append(os.strerror(e.errno))
print(" ".join(results))' "$mnt/full" >"$QF_WORK/results"
[[ $(cat "$QF_WORK/results") == "ok No space left on device ok" ]] || qf_fail "fail write 2 ENOSPC: $(cat "$QF_WORK/results")"
ffs_ctl fail-from fsync 1 EIO >/dev/null
for i in 1 2; do
  py 'put(sys.argv[1], b"x", sync_file=True)' "$mnt/full" 2>/dev/null && qf_fail "fsync $i did not fail with EIO"
done
ffs_ctl fail rename 1 EIO >/dev/null
mv "$mnt/full" "$mnt/moved" 2>/dev/null && qf_fail "the rename did not fail"
mv "$mnt/full" "$mnt/moved" || qf_fail "the rename after the failed one failed too"
ffs_unmount
echo "PASS: EIO and ENOSPC at the chosen operation, and the counts"
