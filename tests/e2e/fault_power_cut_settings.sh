# Runs that switch Autorun and two options, with the configuration and data
# folders on faultfs, lose power at points chosen among the changes faultfs
# counted in a whole run. After each cut, with the durable state mounted
# again as after a reboot (strict model: tests/faultfs/Store.h), the
# settings file and mimeapps.list are each byte for byte a version that the
# program wrote whole (the one before the run, or one it renamed into place);
# and a second run leaves all four files (settings, hive, desktop entry,
# mimeapps.list) as a run without a cut does, with no temporary file left.
# Two set-ups: a first registration, a withdrawal.
# QUILLFEN_SETTINGS_POWER_CUTS (default 200, under a minute) and QF_SEED choose the number of
# cuts and the points; failing cuts are listed as "set-up point".
# QF_CUT_POINTS="register 40,withdraw 7" runs just those cuts.
source "$(dirname "$0")/lib/common.sh"
source "$(dirname "$0")/lib/faultfs.sh"
qf_need_faultfs
qf_private_home

cuts=${QUILLFEN_SETTINGS_POWER_CUTS:-200}
seed=${QF_SEED:-$RANDOM}
RANDOM=$seed
echo "settings cuts: $cuts, seed: $seed (QF_SEED=$seed QUILLFEN_SETTINGS_POWER_CUTS=$cuts repeats them)"

# Cuts that failed once ("set-up point", the point counted in changes):
# every run tries them first.
regressions=(
)

vol=$QF_WORK/vol
export XDG_CONFIG_HOME=$vol/config XDG_DATA_HOME=$vol/data
settings=$XDG_CONFIG_HOME/Quillfen/settings.ini
mimeapps=$XDG_CONFIG_HOME/mimeapps.list
files=("$settings" "$mimeapps" "$XDG_CONFIG_HOME/Quillfen/registry.ini" "$XDG_DATA_HOME/applications/quillfen.desktop")

versions() { qf_versions "${files[@]}"; }

# transcript AUTORUN AUTORENAME SUBFOLDER: the movie reports the three boxes.
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
declare -A script=([register]="true true true" [withdraw]="false false false")
setups=(register withdraw)

# The user's files before the first run, on the disk: then registered.
ffs_mount "$vol" "$QF_WORK/register.img"
mkdir -p "$XDG_CONFIG_HOME/Quillfen" "$XDG_DATA_HOME"
cat >"$mimeapps" <<'LIST'
# associations the user made before
[Default Applications]
text/plain=org.gnome.TextEditor.desktop
[Added Associations]
image/jpeg=org.gnome.eog.desktop;
LIST
qf_settings Autorun False AutoRename False Subfolder False Automoving False Target "$XDG_PICTURES_DIR"
ffs_unmount
cp "$QF_WORK/register.img" "$QF_WORK/withdraw.img"
ffs_mount "$vol" "$QF_WORK/withdraw.img"
transcript ${script[register]} >"$QF_WORK/transcript"
qf_run "$QF_WORK/transcript"
ffs_unmount

# start SETUP: its files mounted, its transcript ready.
start() {
  cp "$QF_WORK/$1.img" "$QF_WORK/run.img"
  ffs_mount "$vol" "$QF_WORK/run.img"
  transcript ${script[$1]} >"$QF_WORK/transcript"
}

# The versions each set-up writes whole: the first, the last, and the one
# renamed into place at each rename of a whole run, as the program had it in
# memory (a cut right after that rename, the volume's live state looked at).
declare -A changes renames final
for setup in "${setups[@]}"; do
  known=$QF_WORK/$setup.known
  start "$setup"
  versions >"$known"
  ffs_ctl reset >/dev/null
  qf_run "$QF_WORK/transcript"
  changes[$setup]=$(ffs_count change)
  renames[$setup]=$(ffs_count rename)
  final[$setup]=$(versions)
  echo "${final[$setup]}" >>"$known"
  ffs_unmount
  for ((k = 1; k <= renames[$setup]; k++)); do
    start "$setup"
    ffs_ctl cut rename "$k" >/dev/null
    ffs_run_until_cut "$QF_WORK/transcript" || qf_fail "$setup: no cut at rename $k of ${renames[$setup]}"
    ffs_ctl save-live "$QF_WORK/live.img" >/dev/null
    ffs_unmount
    ffs_mount "$vol" "$QF_WORK/live.img"
    versions >>"$known"
    ffs_unmount
  done
  sort -u -o "$known" "$known"
  echo "$setup: ${changes[$setup]} changes, ${renames[$setup]} renames; whole versions of the settings and mimeapps.list:" \
    "$(grep -c '^0 ' "$known"), $(grep -c '^1 ' "$known")"
done

ffs_cut_points

# after_cut SETUP: what is wrong with the two files after the reboot, if anything.
after_cut() {
  local version
  while read -r version; do
    case $version in
      0\ * | 1\ *) grep -qxF "$version" "$QF_WORK/$1.known" || echo "${files[${version%% *}]} is no whole version" ;;
    esac
  done <<<"$(versions)"
}

# second_run SETUP: a run without a cut ends where a whole run ends, if not, why.
second_run() {
  local status=0
  "$QF_SCRIPT" "$QF_WORK/transcript" >"$QF_LOG" 2>"$QF_WORK/stderr" || status=$?
  ((status == 0)) || { echo "the second run ended with $status"; return; }
  [[ $(versions) == "${final[$1]}" ]] ||
    { echo "after the second run, not the files of a whole run: $(diff <(versions) <(echo "${final[$1]}") | tr '\n' ' ')"; return; }
  local left
  left=$(find "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" -name '.*.tmp-*' | head -3)
  [[ -z $left ]] || echo "temporary files left after the second run: $left"
}

failures=()
n=0
for case in "${points[@]}"; do
  read -r setup point <<<"$case"
  n=$((n + 1))
  start "$setup"
  ffs_ctl cut change "$point" >/dev/null
  if ffs_run_until_cut "$QF_WORK/transcript"; then cut="cut"; else cut="no cut (the run ended first)"; fi
  ffs_unmount
  ffs_mount "$vol" "$QF_WORK/run.img"
  problem=$(after_cut "$setup")
  [[ -n $problem ]] || problem=$(second_run "$setup")
  if [[ -n $problem ]]; then
    failures+=("$setup $point")
    echo "cut $n ($setup, change $point of ${changes[$setup]}): $cut: FAILED: $problem"
    for file in "$settings" "$mimeapps"; do echo "--- $file ---"; cat "$file" 2>&1 || true; done
  else
    echo "cut $n ($setup, change $point of ${changes[$setup]}): $cut; each file a whole version; the second run completed"
  fi
  ffs_unmount
done

ffs_end_campaign "left a settings file that is no whole version" \
  "while settings were written, every file a whole version after each"
