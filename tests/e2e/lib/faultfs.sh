# Helpers of the tests on faultfs, the in-memory FUSE file system that can
# corrupt, fail and lose power (tests/faultfs/main.cpp explains its commands).
# Source it after common.sh. Several faultfs volumes may be mounted at once;
# the commands below talk to the current one, the one mounted last or chosen
# with ffs_use. A power cut takes all of them at once. Whatever is mounted
# when the test ends is released and unmounted.

QF_FAULTFS=${QF_FAULTFS:-$QF_PROGRAM_DIR/../tests/faultfs/faultfs}
declare -A _ffs_pids=() _ffs_ctls=()  # mount folder -> its faultfs process, its control socket
_ffs_pid=""
_ffs_dir=""
_ffs_ctl=""
_ffs_count=0

_ffs_cleanup() {
  local dir
  for dir in "${!_ffs_pids[@]}"; do
    "$QF_FAULTFS" ctl "${_ffs_ctls[$dir]}" release >/dev/null 2>&1 || true
    umount "$dir" 2>/dev/null || umount -l "$dir" 2>/dev/null || true
    kill "${_ffs_pids[$dir]}" 2>/dev/null || true
    wait "${_ffs_pids[$dir]}" 2>/dev/null || true
  done
}
trap '_ffs_cleanup; _qf_cleanup' EXIT

# ffs_use DIR: the volume mounted at DIR is the current one.
ffs_use() {
  [[ -n ${_ffs_pids[$1]:-} ]] || qf_fail "no faultfs volume at $1"
  _ffs_dir=$1
  _ffs_pid=${_ffs_pids[$1]}
  _ffs_ctl=${_ffs_ctls[$1]}
}

# ffs_volumes: the mount folders of the volumes mounted, one a line.
ffs_volumes() { [[ ${#_ffs_pids[@]} -eq 0 ]] || printf '%s\n' "${!_ffs_pids[@]}"; }

# A test that cannot run here says so and ends with 77.
qf_skip() { echo "SKIPPED: $*" >&2; exit 77; }

# Root, /dev/fuse and a built faultfs, or the test is skipped.
qf_need_faultfs() {
  [[ $(id -u) -eq 0 ]] || qf_skip "mounting FUSE volumes needs root"
  [[ -x $QF_FAULTFS ]] || qf_skip "faultfs was not built (libfuse3-dev missing?): no $QF_FAULTFS"
  [[ -c /dev/fuse ]] || qf_skip "no /dev/fuse on this machine"
}

# ffs_mount DIR IMAGE [OPTION...]: a faultfs volume at DIR, starting from the
# state saved in IMAGE (empty when there is none yet); IMAGE receives the
# durable state at a power cut, everything at the unmount. It becomes the
# current volume.
ffs_mount() {
  local dir=$1 image=$2 tries pid ctl
  shift 2
  mkdir -p "$dir"
  _ffs_count=$((_ffs_count + 1))
  ctl=$QF_WORK/faultfs-$_ffs_count.ctl
  "$QF_FAULTFS" --image "$image" --control "$ctl" "$@" "$dir" 2>"$QF_WORK/faultfs.err" &
  pid=$!
  _ffs_pids[$dir]=$pid
  _ffs_ctls[$dir]=$ctl
  ffs_use "$dir"
  for ((tries = 0; tries < 600; tries++)); do
    if mountpoint -q "$dir" && "$QF_FAULTFS" ctl "$ctl" status >/dev/null 2>&1; then return 0; fi
    if ! kill -0 "$pid" 2>/dev/null; then
      wait "$pid" 2>/dev/null || true
      unset "_ffs_pids[$dir]" "_ffs_ctls[$dir]"
      cat "$QF_WORK/faultfs.err" >&2
      grep -q 'image' "$QF_WORK/faultfs.err" && qf_fail "faultfs could not start from $image"
      qf_skip "this machine refuses FUSE mounts"
    fi
    sleep 0.05
  done
  qf_fail "faultfs did not come up at $dir"
}

# ffs_places FAULTY BESIDE IMAGE [KEY VALUE...]: the move's places with
# faultfs (from IMAGE) as FAULTY, the target or the backup, and BESIDE, the
# other one on the tmpfs mounted at $QF_BESIDE, or "-" for none (then FAULTY
# is the target). Each place is an empty picture folder; the array `at`
# names them (at[target], at[backup]), and the settings move a card
# automatically into them, with the KEY VALUE pairs given.
ffs_places() {
  local faulty=$1 beside=$2 image=$3
  shift 3
  ffs_mount "$QF_WORK/faulty" "$image"
  find "$QF_BESIDE" -mindepth 1 -delete
  unset at
  declare -gA at=([$faulty]=$QF_WORK/faulty/Pictures)
  [[ $beside == - ]] || at[$beside]=$QF_BESIDE/Pictures
  mkdir -p "${at[@]}"
  qf_settings Automoving True Target "${at[target]}" ${at[backup]:+BackupTarget "${at[backup]}"} "$@"
}

# ffs_ctl COMMAND...: one command to the mounted volume; prints the answer.
ffs_ctl() { "$QF_FAULTFS" ctl "$_ffs_ctl" "$@"; }

# ffs_unmount: unmounts the current volume (releasing the requests held after
# a power cut) and waits until its faultfs has written its image and ended;
# another volume still mounted becomes the current one.
ffs_unmount() {
  [[ -n $_ffs_pid ]] || return 0
  [[ $(ffs_ctl status) == "ok on" ]] || ffs_ctl release >/dev/null
  local tries status=0 dir=$_ffs_dir
  # A process that was just told of the dead volume may still be leaving it.
  for ((tries = 0; tries < 400; tries++)); do
    umount "$dir" 2>/dev/null && break
    sleep 0.05
  done
  ((tries < 400)) || qf_fail "cannot unmount $dir"
  wait "$_ffs_pid" || status=$?
  unset "_ffs_pids[$dir]" "_ffs_ctls[$dir]"
  _ffs_pid="" _ffs_dir="" _ffs_ctl=""
  ((status == 0)) || { cat "$QF_WORK/faultfs.err" >&2; qf_fail "faultfs ended with $status"; }
  local next
  next=$(ffs_volumes | head -1)
  [[ -z $next ]] || ffs_use "$next"
}

# ffs_unmount_all: ffs_unmount of every volume mounted.
ffs_unmount_all() {
  while [[ -n $_ffs_pid ]]; do ffs_unmount; done
}

# ffs_count WHICH: how many such operations the volume counted (any, change, write, ...).
ffs_count() { ffs_ctl count | tr ' ' '\n' | sed -n "s/^$1=//p"; }

# ffs_is_cut: whether the power has gone on any volume.
ffs_is_cut() {
  local dir
  for dir in "${!_ffs_ctls[@]}"; do
    [[ $("$QF_FAULTFS" ctl "${_ffs_ctls[$dir]}" status) != "ok cut"* ]] || return 0
  done
  return 1
}

# ffs_run_until_cut TRANSCRIPT [ARGUMENT]: runs the headless host (event log
# in $QF_LOG) until it ends or a volume loses power; at a cut the other
# volumes lose it too, as the whole machine does, the host, frozen by
# faultfs where the cut found it, is killed and the volumes' held requests
# are released. Succeeds when the power was cut.
ffs_run_until_cut() {
  "$QF_SCRIPT" "$@" >"$QF_LOG" 2>"$QF_WORK/stderr" &
  local pid=$! dir
  while kill -0 "$pid" 2>/dev/null && ! ffs_is_cut; do sleep 0.01; done
  if ffs_is_cut; then
    for dir in "${!_ffs_ctls[@]}"; do
      [[ $("$QF_FAULTFS" ctl "${_ffs_ctls[$dir]}" status) == "ok cut"* ]] ||
        "$QF_FAULTFS" ctl "${_ffs_ctls[$dir]}" cut now >/dev/null
    done
    {
      kill -KILL "$pid" || true
      for dir in "${!_ffs_ctls[@]}"; do "$QF_FAULTFS" ctl "${_ffs_ctls[$dir]}" release >/dev/null; done
      wait "$pid" || true
    } 2>/dev/null  # not the shell's note of the killed job
    return 0
  fi
  wait "$pid" || { cat "$QF_WORK/stderr" >&2; qf_fail "quillfen-script failed without a power cut"; }
  return 1
}

# ffs_cut_points: the cuts of a power-cut campaign, "set-up point" each, into
# the array points: the caller's regressions first, then $cuts points drawn
# from RANDOM, the set-ups ($setups) in turn, each point within that set-up's
# count of changes (${changes[set-up]}). QF_CUT_POINTS="a 4,b 7" replaces
# them all.
ffs_cut_points() {
  if [[ -n ${QF_CUT_POINTS:-} ]]; then
    IFS=, read -r -a points <<<"$QF_CUT_POINTS"
    return
  fi
  points=("${regressions[@]}")
  local k setup
  for ((k = 0; k < cuts; k++)); do
    setup=${setups[k % ${#setups[@]}]}
    points+=("$setup $((1 + RANDOM % changes[$setup]))")
  done
}

# ffs_end_campaign WRONG RIGHT: the end of a campaign over $points with the
# failing cuts in $failures: those listed and the test failed ("N of M power
# cuts WRONG"), or its pass ("M power cuts RIGHT").
ffs_end_campaign() {
  if ((${#failures[@]} > 0)); then
    echo "failing cuts (set-up point):" >&2
    printf '  %s\n' "${failures[@]}" >&2
    QF_LOG=/dev/null qf_fail "${#failures[@]} of ${#points[@]} power cuts $1 (seed $seed)"
  fi
  echo "PASS: ${#points[@]} power cuts $2"
}
