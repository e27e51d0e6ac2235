# The desktop program's eject of an emptied card (GtkShell::Eject, run by the
# tests' program card-eject) against the desktop's real volume service: a card
# image on a loop device that udisks set up and mounted, as a desktop mounts a
# card, and GIO with the file manager's volume monitor (gvfs) in a session of
# its own. A card in use stays mounted, the eject says it is busy and no
# picture is lost; a free card is unmounted, its loop device let go, and its
# pictures are all there; a folder on no card is no card. The same again with
# GIO alone, as on a desktop without gvfs.
#
# The machine's own udisks is used where its system bus has one; elsewhere
# the test runs udisksd on a system bus of its own, and udev (from which
# udisks learns of devices) where none runs, each for the test's time only.
source "$(dirname "$0")/lib/common.sh"
qf_need_root

eject=$(dirname "$QF_PROGRAM_DIR")/tests/card-eject
udisksd=/usr/libexec/udisks2/udisksd
udevd=/lib/systemd/systemd-udevd
[[ -x $eject ]] || qf_skip "card-eject is not built (it is built with the desktop program)"
[[ -x /usr/libexec/gvfs-udisks2-volume-monitor ]] || qf_skip "gvfs's volume monitor is not installed (gvfs-daemons)"
compgen -G "/usr/lib/*/gio/modules/libgioremote-volume-monitor.so" >/dev/null ||
  qf_skip "GIO's module for gvfs's volume monitors is not installed (gvfs)"
for tool in udisksctl udevadm dbus-daemon dbus-run-session gdbus gio mkfs.ext4 e2fsck findmnt; do
  command -v "$tool" >/dev/null || qf_skip "$tool is not installed"
done
qf_private_home

# What the test starts, stopped by its process id when it ends, and the state
# folders these leave behind, removed where they were not there before.
_eject_pids=()
_eject_made=()
for state in /run/udev /run/udisks2 /dev/disk /media/root; do [[ -e $state ]] || _eject_made+=("$state"); done
# The cards' loop devices, which the kernel lets go on its own once unmounted,
# are found by their image: a number let go may be another test's by then.
_eject_cleanup() {
  local i image loop pid state
  for ((i = ${#_qf_mounts[@]} - 1; i >= 0; i--)); do
    umount "${_qf_mounts[i]}" 2>/dev/null || umount -l "${_qf_mounts[i]}" 2>/dev/null || true
  done
  for image in "$QF_WORK"/card-*.img; do
    for loop in $(losetup -n -O NAME -j "$image" 2>/dev/null); do losetup -d "$loop" 2>/dev/null || true; done
  done
  _qf_cleanup
  if ((${#_eject_pids[@]})); then udevadm settle --timeout=5 2>/dev/null || true; fi
  for pid in "${_eject_pids[@]}"; do
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  for state in "${_eject_made[@]}"; do
    if [[ $state == /media/* ]]; then rmdir "$state"/* "$state" 2>/dev/null || true; else rm -rf "$state"; fi
  done
}
trap _eject_cleanup EXIT

eject_fail() {
  local log
  for log in "$QF_WORK"/*.log; do
    [[ -s $log ]] && { echo "--- $(basename "$log") ---"; cat "$log"; } >&2
  done
  qf_fail "$@"
}

# waits up to five seconds for a command to succeed.
eventually() {
  local _
  for _ in $(seq 50); do "$@" >/dev/null 2>&1 && return 0; sleep 0.1; done
  return 1
}

udisks_answers() { gdbus introspect --system --dest org.freedesktop.UDisks2 --object-path /org/freedesktop/UDisks2; }

if ! udisks_answers >/dev/null 2>&1; then
  [[ -x $udisksd ]] || qf_skip "udisksd is not installed (udisks2)"
  if ! udevadm control --ping >/dev/null 2>&1; then
    [[ -x $udevd ]] || qf_skip "no udev runs and systemd-udevd is not installed (udev)"
    "$udevd" 2>>"$QF_WORK/udevd.log" &
    _eject_pids+=($!)
    eventually udevadm control --ping || qf_skip "this machine refuses to run udev: $(cat "$QF_WORK/udevd.log")"
  fi
  cat >"$QF_WORK/system-bus.conf" <<CONF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>system</type>
  <listen>unix:path=$QF_WORK/system-bus</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow user="*"/>
    <allow own="*"/>
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
  </policy>
</busconfig>
CONF
  dbus-daemon --config-file="$QF_WORK/system-bus.conf" --nofork --nosyslog --print-address=3 \
    3>"$QF_WORK/system-bus.address" 2>>"$QF_WORK/system-bus.log" &
  _eject_pids+=($!)
  eventually test -s "$QF_WORK/system-bus.address" || qf_skip "a private system bus did not start"
  DBUS_SYSTEM_BUS_ADDRESS=$(head -n1 "$QF_WORK/system-bus.address")
  export DBUS_SYSTEM_BUS_ADDRESS
  "$udisksd" 2>>"$QF_WORK/udisksd.log" &
  _eject_pids+=($!)
  eventually udisks_answers || qf_skip "udisksd did not start: $(cat "$QF_WORK/udisksd.log")"
fi

# card_insert: a fresh card with two pictures, set up on a loop device
# through udisks and mounted through udisks, then let go when its last user
# closes it, as the desktop's disk image mounter sets one up. Sets
# card_image, card_loop and card_dir; the pictures are in $QF_WORK/content.
card_insert() {
  local out object
  card_image=$QF_WORK/card-$RANDOM.img
  rm -rf "$QF_WORK/content"
  qf_write_picture "$QF_WORK/content/DCIM/100TEST/IMG_0001.JPG" 300000
  qf_write_picture "$QF_WORK/content/DCIM/100TEST/IMG_0002.JPG" 200000
  truncate -s 16M "$card_image"
  mkfs.ext4 -q -L QFCARD -d "$QF_WORK/content" "$card_image" || eject_fail "mkfs.ext4 failed"
  out=$(udisksctl loop-setup --no-user-interaction -f "$card_image" 2>&1) ||
    qf_skip "udisks could not set up a loop device: $out"
  card_loop=$(sed -n 's|.* as \(/dev/loop[0-9]*\)\.$|\1|p' <<<"$out")
  [[ -n $card_loop ]] || eject_fail "no loop device in udisks's answer: $out"
  eventually eval "udisksctl info -b $card_loop | grep -q 'IdUsage: *filesystem'" ||
    qf_skip "udisks does not see the card's file system (is udev running?)"
  out=$(udisksctl mount --no-user-interaction -b "$card_loop" 2>&1) || eject_fail "udisks did not mount the card: $out"
  card_dir=$(findmnt -n -o TARGET --source "$card_loop")
  [[ -d $card_dir ]] || eject_fail "the card is mounted nowhere: $out"
  _qf_mounts+=("$card_dir")
  # Only now: a loop device nobody holds open is let go at once.
  object=/org/freedesktop/UDisks2/block_devices/${card_loop#/dev/}
  gdbus call --system --dest org.freedesktop.UDisks2 --object-path "$object" \
    --method org.freedesktop.UDisks2.Loop.SetAutoclear true '{}' >/dev/null || eject_fail "udisks did not set autoclear"
  udevadm settle --timeout=10 || true
}

# card_eject SERVICE FOLDER: the desktop program's eject of the card holding
# FOLDER, in a desktop session of its own, with the file manager's volume
# service (gvfs) or with GIO alone (gio: no GIO modules); GIO's list of mounts
# is kept in $QF_WORK/mounts.
card_eject() {
  local modules=()
  if [[ $1 == gio ]]; then
    mkdir -p "$QF_WORK/no-gio-modules"
    modules=(GIO_MODULE_DIR="$QF_WORK/no-gio-modules")
  fi
  env "${modules[@]}" dbus-run-session -- bash -c 'gio mount -li >"$1"; exec "$2" "$3"' _ \
    "$QF_WORK/mounts" "$eject" "$2" 2>>"$QF_WORK/session.log"
}

card_mounted() { findmnt -n --source "$card_loop" >/dev/null; }
loop_attached() { [[ -n $(losetup -j "$card_image") ]]; }

# Each row: the volume service; the kind of mount GIO finds there; whether a
# picture on the card is held open; the outcome card-eject reports.
rows=(
  "gvfs GProxyMount open refused"
  "gvfs GProxyMount free ejected"
  "gio  GUnixMount  open failed"
  "gio  GUnixMount  free ejected"
)
for row in "${rows[@]}"; do
  read -r service mount_type held outcome <<<"$row"
  card_insert
  if [[ $held == open ]]; then exec {held_fd}<"$card_dir/DCIM/100TEST/IMG_0001.JPG"; fi
  said=$(card_eject "$service" "$card_dir/DCIM") || true
  if [[ $held == open ]]; then exec {held_fd}<&-; fi
  grep -A1 -F -- "-> file://$card_dir" "$QF_WORK/mounts" | grep -q "Type: $mount_type" ||
    eject_fail "$row: GIO did not see the card as a $mount_type: $(cat "$QF_WORK/mounts")"
  if [[ $outcome == ejected ]]; then
    [[ $said == ejected ]] || eject_fail "$row: the card was not ejected: $said"
    ! card_mounted || eject_fail "$row: the card is still mounted after its eject"
    eventually eval '! loop_attached' || eject_fail "$row: the card's loop device was not let go"
    e2fsck -fn "$card_image" >"$QF_WORK/e2fsck.log" 2>&1 || eject_fail "$row: the card's file system is not clean"
    loop=$(losetup -f --show -r "$card_image") || qf_skip "this machine has no free loop device"
    mkdir -p "$QF_WORK/check"
    mount -o ro "$loop" "$QF_WORK/check" || eject_fail "$row: the ejected card does not mount again"
    _qf_mounts+=("$QF_WORK/check")
    [[ $(qf_checksums "$QF_WORK/check") == "$(qf_checksums "$QF_WORK/content")" ]] ||
      eject_fail "$row: pictures were lost on the ejected card"
    umount "$QF_WORK/check"
    losetup -d "$loop"
  else
    # One plain line that says why: no line break of the unmount command's
    # own, and the volume is busy.
    [[ $said == "failed $outcome: "*busy* && $said != *$'\n'* ]] ||
      eject_fail "$row: a card in use was not refused with the reason: $said"
    card_mounted || eject_fail "$row: a card in use was unmounted"
    [[ $(qf_checksums "$card_dir") == "$(qf_checksums "$QF_WORK/content")" ]] ||
      eject_fail "$row: pictures were lost on the card in use"
    udisksctl unmount --no-user-interaction -b "$card_loop" >/dev/null || eject_fail "$row: the card does not unmount"
  fi
  echo "ok: $row: $said"
done

# A folder on no removable volume is no card: the move then ejects nothing.
said=$(card_eject gvfs "$QF_WORK") || true
[[ $said == "failed not-a-card: "* ]] || eject_fail "a folder on no card was taken for one: $said"
echo "PASS: a card in use refused as busy, a free one unmounted and let go, with and without gvfs"
