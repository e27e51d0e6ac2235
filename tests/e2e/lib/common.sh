# Shared helpers of the real-volume tests: a private home, real cards and small
# volumes, running the headless host, and comparing pictures byte for byte.
# Source it from a test run as `bash <test> <program-folder>`. Every mount,
# loop device and temporary file it makes is undone when the test exits.

set -euo pipefail

QF_PROGRAM_DIR=${1:?usage: bash <test> <program-folder>}
QF_SCRIPT=$QF_PROGRAM_DIR/quillfen-script
QF_WORK=$(mktemp -d "${TMPDIR:-/tmp}/quillfen-e2e-XXXXXX")
QF_LOG=$QF_WORK/events.log
_qf_mounts=()
_qf_loops=()

qf_skip() { echo "SKIP: $*" >&2; exit 77; }
qf_fail() {
  echo "FAIL: $*" >&2
  if [[ -s $QF_LOG ]]; then
    echo "--- event log ---" >&2
    cat "$QF_LOG" >&2
  fi
  exit 1
}

_qf_cleanup() {
  local i
  for ((i = ${#_qf_mounts[@]} - 1; i >= 0; i--)); do
    umount "${_qf_mounts[i]}" 2>/dev/null || umount -l "${_qf_mounts[i]}" 2>/dev/null || true
  done
  for i in "${_qf_loops[@]}"; do losetup -d "$i" 2>/dev/null || true; done
  rm -rf "$QF_WORK"
}
trap _qf_cleanup EXIT

[[ -x $QF_SCRIPT ]] || qf_fail "no headless host at $QF_SCRIPT"

# Mounting needs root; elsewhere the test cannot run and says so.
qf_need_root() {
  [[ $(id -u) -eq 0 ]] || qf_skip "mounting volumes needs root"
}

# A home of our own, so the user's real settings are never read or touched,
# and an English interface whatever the machine's locale. Settings daemons
# (Xfce's) are reached over the session bus whatever HOME says, so the bus is
# out of reach too, and no session's desktop is taken for the test's.
qf_private_home() {
  export HOME=$QF_WORK/home
  export XDG_CONFIG_HOME=$HOME/.config XDG_DATA_HOME=$HOME/.local/share XDG_PICTURES_DIR=$HOME/Pictures
  export LC_ALL=C.UTF-8 LANG=C.UTF-8
  export DBUS_SESSION_BUS_ADDRESS=unix:path=$QF_WORK/no-session-bus
  unset LC_MESSAGES XDG_CURRENT_DESKTOP
  mkdir -p "$XDG_CONFIG_HOME/Quillfen" "$XDG_DATA_HOME" "$XDG_PICTURES_DIR"
}

# qf_settings KEY VALUE ...: the stored settings the program starts with.
qf_settings() {
  local file=$XDG_CONFIG_HOME/Quillfen/settings.ini
  {
    echo "[Settings]"
    while (($# >= 2)); do
      echo "$1=$2"
      shift 2
    done
  } >"$file"
}

# qf_dialog KEY: a text of the English language file, as the boxes show it.
qf_dialog() {
  local line
  line=$(grep -m1 "^$1=" "$QF_PROGRAM_DIR/English.ini") || qf_fail "no text $1 in English.ini"
  printf '%s' "${line#*=}"
}

# qf_dialog_filled KEY VALUE...: the text as the event log shows it, with
# %1, %2, ... filled in.
qf_dialog_filled() {
  local text n=1
  text=$(qf_dialog "$1")
  shift
  for value in "$@"; do
    text=${text//%$n/$value}
    n=$((n + 1))
  done
  printf '%s' "${text//\\n/\\r\\n}"
}

# qf_mount_tmpfs DIR SIZE: a small volume of its own at DIR.
qf_mount_tmpfs() {
  mkdir -p "$1"
  mount -t tmpfs -o "size=$2,mode=0755" quillfen-test "$1" 2>/dev/null ||
    qf_skip "this machine refuses tmpfs mounts"
  _qf_mounts+=("$1")
}

# qf_remount_readonly DIR
qf_remount_readonly() {
  mount -o remount,ro "$1" 2>/dev/null || qf_skip "this machine refuses to remount $1 read-only"
}

# qf_mount_exfat_card DIR SIZE_MB: a freshly formatted exFAT card on a loop
# device, through the kernel's driver when it has one, else through FUSE.
qf_mount_exfat_card() {
  local dir=$1 image=$QF_WORK/card-$RANDOM.img loop
  command -v mkfs.exfat >/dev/null || qf_skip "mkfs.exfat is not installed (exfatprogs)"
  truncate -s "${2}M" "$image"
  mkfs.exfat -L QFCARD "$image" >/dev/null 2>&1 || qf_fail "mkfs.exfat failed"
  loop=$(losetup -f --show "$image" 2>/dev/null) || qf_skip "this machine has no free loop device"
  _qf_loops+=("$loop")
  QF_CARD_LOOP=$loop
  mkdir -p "$dir"
  if mount -t exfat "$loop" "$dir" 2>/dev/null; then
    _qf_mounts+=("$dir")
    return
  fi
  command -v mount.exfat-fuse >/dev/null || qf_skip "no exFAT driver: neither the kernel's nor exfat-fuse"
  [[ -e /dev/fuse ]] || qf_skip "no /dev/fuse for exfat-fuse"
  mount.exfat-fuse "$loop" "$dir" >/dev/null 2>&1 || qf_skip "this machine refuses FUSE mounts"
  _qf_mounts+=("$dir")
}

# qf_fuse_daemon DIR: the process that serves the FUSE volume mounted at DIR
# (found by its own command line, which names DIR), or nothing.
qf_fuse_daemon() {
  local proc
  for proc in /proc/[0-9]*; do
    if tr '\0' '\n' <"$proc/cmdline" 2>/dev/null | grep -qx -- "$1"; then
      [[ $(tr '\0' ' ' <"$proc/cmdline") == mount.exfat-fuse* ]] || continue
      echo "${proc#/proc/}"
      return
    fi
  done
}

# qf_write_picture PATH BYTES [DATE]: a picture of that size with random
# content (so that any misplaced byte shows) and, when given, that date.
qf_write_picture() {
  mkdir -p "$(dirname "$1")"
  head -c "$2" /dev/urandom >"$1"
  if [[ -n ${3:-} ]]; then touch -d "$3" "$1"; fi
}

# qf_fingerprint DIR...: one line per file below the folders: name, size,
# modification time and checksum, sorted; the folders themselves are left out
# so that pictures gathered from many folders into one compare equal.
qf_fingerprint() {
  local dir
  for dir in "$@"; do
    find "$dir" -type f -printf '%f\t%s\t%T@\t' -exec sh -c 'sha256sum < "$1" | cut -c1-64' _ {} \;
  done | sort
}

# qf_checksums DIR: one line per file below DIR (hidden ones left out), its
# checksum, sorted; nothing for a folder that is not there.
qf_checksums() {
  [[ ! -d $1 ]] || find "$1" -type f ! -name '.*' -exec sha256sum {} + | cut -c1-64 | sort
}

# qf_versions FILE...: one line per file, "<its place in the list, from 0>
# <checksum, or absent>", to tell which version of each file is there.
qf_versions() {
  local i=0 file
  for file in "$@"; do
    if [[ -e $file ]]; then echo "$i $(sha256sum <"$file" | cut -c1-64)"; else echo "$i absent"; fi
    i=$((i + 1))
  done
}

# qf_run TRANSCRIPT [ARGUMENT]: runs the headless host; the event log is in $QF_LOG.
qf_run() {
  local status=0
  "$QF_SCRIPT" "$@" >"$QF_LOG" 2>"$QF_WORK/stderr" || status=$?
  if ((status != 0)); then
    cat "$QF_WORK/stderr" >&2
    qf_fail "quillfen-script ended with $status"
  fi
}

# qf_expect_box TEXT: a message box whose line holds TEXT (backslashes and line
# breaks written as the event log writes them) was shown.
qf_expect_box() {
  grep -F -- "$1" <(grep '^box ' "$QF_LOG") >/dev/null || qf_fail "no box with: $1"
}

qf_box_count() { grep -c '^box ' "$QF_LOG" || true; }

# The request the movie sends once it is ready; the loader runs 100 ms later.
QF_LOAD_SETTINGS='call <invoke name="LoadSettings" returntype="xml"><arguments/></invoke>'
# A start for a card with Automoving on: the card is moved at once, the
# confirmation and the closing message answered OK.
QF_AUTOMOVE=$(cd "$(dirname "${BASH_SOURCE[0]}")/../../.." && pwd)/demo/automove.transcript

# qf_autorun_transcript VALUE [ANSWER]: a transcript in which the movie, once
# the settings are loaded, reports the Autorun check box with that value; a
# box that brings up gets ANSWER.
qf_autorun_transcript() {
  cat >"$QF_WORK/transcript" <<SCRIPT
$QF_LOAD_SETTINGS
wait 200
${2:+answer $2}
call <invoke name="SavePreset" returntype="xml"><arguments><string>Autorun</string><string>$1</string></arguments></invoke>
SCRIPT
}

# qf_autorun VALUE [ANSWER]: a start of the headless host ($QF_SCRIPT) in
# which the movie reports the Autorun check box with that value.
qf_autorun() {
  qf_autorun_transcript "$@"
  qf_run "$QF_WORK/transcript"
  grep -q '^reply Ok$' "$QF_LOG" || qf_fail "Autorun=$1 was not taken"
}

# qf_program_copy DIR: the program folder copied to DIR (a name that needs
# quoting, say); $QF_SCRIPT is then the copy's headless host.
qf_program_copy() {
  mkdir -p "$1"
  cp -r "$QF_PROGRAM_DIR"/. "$1"/
  QF_SCRIPT=$1/quillfen-script
}

# qf_command_words LINE MACRO VALUE: the words of a command line as a desktop
# starts it: MACRO (%f, %m) replaced by VALUE in quotes, %% by a percent sign,
# and the line split by a shell. One word a line.
qf_command_words() {
  local line=$1 quoted="'${3//\'/\'\\\'\'}'"
  line=${line//%%/$'\x01'}
  line=${line//$2/$quoted}
  line=${line//$'\x01'/%}
  sh -c "set -- $line; printf '%s\n' \"\$@\""
}
