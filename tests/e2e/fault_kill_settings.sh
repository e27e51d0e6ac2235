# Runs that switch Autorun and two options are killed (SIGKILL) at random
# points, many times. After each kill the settings file, the hive, the
# desktop entry and mimeapps.list are each byte for byte a version that a
# whole write produces, never a mix of two and never cut short.
# QF_KILLS and QF_SEED change the number of kills and the random points.
source "$(dirname "$0")/lib/common.sh"
qf_private_home

kills=${QF_KILLS:-150}
seed=${QF_SEED:-$RANDOM}
RANDOM=$seed
echo "kills: $kills, seed: $seed (QF_SEED=$seed repeats these points)"

settings=$XDG_CONFIG_HOME/Quillfen/settings.ini
hive=$XDG_CONFIG_HOME/Quillfen/registry.ini
mimeapps=$XDG_CONFIG_HOME/mimeapps.list
entry=$XDG_DATA_HOME/applications/quillfen.desktop
files=("$settings" "$hive" "$mimeapps" "$entry")

cat >"$mimeapps" <<'LIST'
# associations the user made before
[Default Applications]
text/plain=org.gnome.TextEditor.desktop
[Added Associations]
image/jpeg=org.gnome.eog.desktop;
LIST
mkdir -p "$QF_WORK/empty"
qf_settings Autorun False AutoRename False Subfolder False Automoving False Target "$XDG_PICTURES_DIR"

# transcript AUTORUN AUTORENAME SUBFOLDER: a start in which the movie reports
# the three check boxes with these values, one after the other.
transcript() {
  local name value
  echo "$QF_LOAD_SETTINGS"
  echo "wait 200"
  for name in Autorun AutoRename Subfolder; do
    value=$1
    shift
    echo "call <invoke name=\"SavePreset\" returntype=\"xml\"><arguments><string>$name</string><string>$value</string></arguments></invoke>"
  done
}

snapshot() { qf_versions "${files[@]}"; }

# save_state NAME / restore_state NAME: the four files as they are now.
save_state() {
  local i
  mkdir -p "$QF_WORK/state-$1"
  for i in "${!files[@]}"; do
    if [[ -e ${files[i]} ]]; then cp "${files[i]}" "$QF_WORK/state-$1/$i"; else rm -f "$QF_WORK/state-$1/$i"; fi
  done
}
restore_state() {
  local i
  for i in "${!files[@]}"; do
    if [[ -e $QF_WORK/state-$1/$i ]]; then cp "$QF_WORK/state-$1/$i" "${files[i]}"; else rm -f "${files[i]}"; fi
  done
}

# The versions whole writes produce, file by file. Switching Autorun registers
# (the first time in many steps) or withdraws, each step a whole write of the
# hive, the entry or mimeapps.list: every step is held for a moment (strace
# delays the return of each rename and removal) while the files are looked
# at, so that each version between two is seen.
command -v strace >/dev/null || qf_skip "strace is not installed: the versions between two writes cannot be seen"
strace -qq -o /dev/null true 2>/dev/null || qf_skip "this machine refuses strace"
known=$QF_WORK/known
snapshot >"$known"
values=(false true)
held='rename,renameat,renameat2,unlink,unlinkat'
# capture AUTORUN: a whole run switching Autorun, every version on the way kept.
capture() {
  transcript "$1" false false >"$QF_WORK/transcript"
  strace -f -qq -o /dev/null -e trace="$held" -e inject="$held":delay_exit=150000 \
    "$QF_SCRIPT" "$QF_WORK/transcript" >"$QF_LOG" 2>&1 &
  local pid=$!
  while kill -0 "$pid" 2>/dev/null; do
    snapshot >>"$known"
    sleep 0.01
  done
  wait "$pid" || qf_fail "a run under strace failed"
  snapshot >>"$known"
}
# The three starting points of the kills: a first start, registered, withdrawn.
save_state first
capture true
save_state registered
capture false
save_state withdrawn
capture true
# The options only change the settings file, one whole write each: every
# state of the three boxes, reached from every other by whole runs, one box
# changed at a time.
for ((state = 0; state < 8; state++)); do
  for ((changed = 0; changed < 3; changed++)); do
    for bits in $((state ^ (1 << changed))) "$state"; do
      transcript "${values[bits & 1]}" "${values[(bits >> 1) & 1]}" "${values[(bits >> 2) & 1]}" \
        >"$QF_WORK/transcript"
      qf_run "$QF_WORK/transcript"
      snapshot >>"$known"
    done
  done
done
sort -u -o "$known" "$known"
echo "whole versions (count, file number): $(cut -d' ' -f1 "$known" | sort | uniq -c | tr -s ' \n' ' ')"

# How long one run takes, to spread the kills over it.
start=$(date +%s%N)
qf_run "$QF_WORK/transcript"
run_ms=$((($(date +%s%N) - start) / 1000000 + 1))

interrupted=0
for ((k = 1; k <= kills; k++)); do
  # In turn: a first registration (the longest), a withdrawal, a registration
  # again; each from a whole state, with random options.
  case $((k % 3)) in
    0) restore_state first && autorun=true ;;
    1) restore_state registered && autorun=false ;;
    2) restore_state withdrawn && autorun=true ;;
  esac
  transcript "$autorun" "${values[RANDOM & 1]}" "${values[RANDOM & 1]}" >"$QF_WORK/transcript"
  before=$(snapshot)
  delay_ms=$((RANDOM % run_ms))
  "$QF_SCRIPT" "$QF_WORK/transcript" >"$QF_LOG" 2>&1 &
  pid=$!
  sleep "$(printf '%d.%03d' $((delay_ms / 1000)) $((delay_ms % 1000)))"
  kill -KILL "$pid" 2>/dev/null && interrupted=$((interrupted + 1))
  wait "$pid" 2>/dev/null || true
  after=$(snapshot)
  while read -r version; do
    grep -qx "$version" "$known" || {
      file=${files[${version%% *}]}
      echo "--- $file ---" >&2
      cat "$file" >&2
      qf_fail "kill $k after ${delay_ms} ms: $file is no whole version"
    }
  done <<<"$after"
  [[ $before == "$after" ]] || changed_by_kill=$((${changed_by_kill:-0} + 1))
done

# Each file still works: from a whole state, a whole run writes the wanted one.
restore_state withdrawn
transcript true true false >"$QF_WORK/transcript"
qf_run "$QF_WORK/transcript"
grep -qx 'Autorun=True' "$settings" || qf_fail "Autorun was not stored after the kills"
grep -q 'x-content/image-dcf=quillfen.desktop' "$mimeapps" || qf_fail "mimeapps.list lost the association"
leftovers=$(find "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" -name '.*.tmp-*' | wc -l)
echo "PASS: $kills kills ($interrupted during a run, ${changed_by_kill:-0} after some file changed), every file whole;" \
  "$leftovers hidden temporary files of killed writes left beside them"
