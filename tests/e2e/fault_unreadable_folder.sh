# A source subfolder that cannot be read stops the move before anything is
# moved, with a box naming the folder and the reason:
# 1. a folder closed to its reader (root reads everything, so the host runs
#    without the two capabilities that let it: setpriv);
# 2. a folder of an exFAT card whose volume has gone away beneath it (a
#    second FUSE volume mounted there whose process has died): it cannot
#    even be looked at, and is told rather than passed over.
source "$(dirname "$0")/lib/common.sh"
qf_need_root
qf_private_home
command -v setpriv >/dev/null || qf_skip "setpriv is not installed (util-linux)"

card=$QF_WORK/card
target=$XDG_PICTURES_DIR
qf_mount_exfat_card "$card" 32
for folder in 100TEST 101TEST 102TEST; do
  for n in 1 2; do qf_write_picture "$card/DCIM/$folder/${folder:0:3}_$n.JPG" 20000; done
done
qf_settings Automoving True AutoRename False Subfolder False Target "$target"

# expect_refusal FOLDER REASON: the box named the folder and the reason, no
# move was offered, and every picture is where it was.
expect_refusal() {
  local box
  box=$(grep -m1 "^box " "$QF_LOG") || qf_fail "no box at all"
  [[ $box == *"$(qf_dialog operation_failed | cut -d'\' -f1)"* && $box == *"$1"* && $box == *"$2"* ]] ||
    qf_fail "the box does not name $1 and '$2': $box"
  if grep -q "title=$(qf_dialog files_moving)" "$QF_LOG"; then qf_fail "the move was offered"; fi
  [[ "$(qf_fingerprint "$card/DCIM" "$target" 2>/dev/null)" == "$before" ]] || qf_fail "pictures moved or changed"
}

# 1. The exFAT driver knows no permissions; a plain folder beside it does.
plain=$QF_WORK/plain-card
cp -a "$card/." "$plain/"
chmod 000 "$plain/DCIM/101TEST"
before=$(qf_fingerprint "$card/DCIM" "$target")
status=0
setpriv --inh-caps=-dac_override,-dac_read_search --bounding-set=-dac_override,-dac_read_search \
  "$QF_SCRIPT" "$QF_AUTOMOVE" "$plain" >"$QF_LOG" 2>"$QF_WORK/stderr" || status=$?
((status == 0)) || qf_fail "the host ended with $status: $(cat "$QF_WORK/stderr")"
chmod 755 "$plain/DCIM/101TEST"
expect_refusal "$plain/DCIM/101TEST" "Permission denied"
[[ "$(qf_fingerprint "$plain/DCIM")" == "$(qf_fingerprint "$card/DCIM")" ]] || qf_fail "the plain card changed"
echo "PASS: a closed folder stops the move, nothing moved"

# 2. A volume inside the card whose serving process has died.
rm -rf "$card/DCIM/102TEST"
before=$(qf_fingerprint "$card/DCIM" "$target")
qf_mount_exfat_card "$card/DCIM/102TEST" 8
daemon=$(qf_fuse_daemon "$card/DCIM/102TEST")
[[ -n $daemon ]] || qf_skip "the FUSE process of the inner volume cannot be found"
kill -KILL "$daemon"
while kill -0 "$daemon" 2>/dev/null; do sleep 0.05; done
stat "$card/DCIM/102TEST" >/dev/null 2>&1 && qf_skip "a dead FUSE volume can still be looked at here"
qf_run "$QF_AUTOMOVE" "$card"
expect_refusal "$card/DCIM" "102TEST: Transport endpoint is not connected"
echo "PASS: a dead volume inside the card stops the move, nothing moved"
