# A damaged hive file and a damaged mimeapps.list line: the program neither
# crashes nor loses them. The hive is reported once, kept aside under a new
# name and written afresh; the mimeapps.list line stays as it was.
source "$(dirname "$0")/lib/common.sh"
qf_private_home

hive=$XDG_CONFIG_HOME/Quillfen/registry.ini
mimeapps=$XDG_CONFIG_HOME/mimeapps.list
printf '[HKEY_CLASSES_ROOT\\Quillfen]\n@=Quillfen\n\x00\x01 not a hive line\n' >"$hive"
cp "$hive" "$QF_WORK/hive.before"
printf '[Default Applications]\nthis line is damaged\nimage/png=eog.desktop\n[Added Associations]\n' >"$mimeapps"
cp "$mimeapps" "$QF_WORK/mimeapps.before"

autorun() {
  qf_autorun_transcript "$1"
  qf_run "$QF_WORK/transcript"
  grep -q '^reply Ok$' "$QF_LOG" || qf_fail "Autorun=$1 was not taken"
}

autorun true
warnings=$(grep -c 'registry file .* is damaged' "$QF_WORK/stderr" || true)
[[ $warnings == 1 ]] || qf_fail "the damaged hive was reported $warnings times: $(cat "$QF_WORK/stderr")"
aside=("$hive".damaged-*)
[[ -f ${aside[0]} ]] || qf_fail "the damaged hive was not kept"
cmp "$QF_WORK/hive.before" "${aside[0]}" || qf_fail "the kept hive is not the damaged file"
grep -q '^InvokeProgID=Quillfen$' "$hive" || qf_fail "the registration was not written afresh"
grep -qx 'this line is damaged' "$mimeapps" || qf_fail "the damaged mimeapps.list line was lost"
grep -q '^x-content/image-dcf=quillfen.desktop;$' "$mimeapps" || qf_fail "the association was not added"

autorun false
[[ -z $(grep 'damaged' "$QF_WORK/stderr") ]] || qf_fail "the fresh hive was reported as damaged"
cmp "$QF_WORK/mimeapps.before" "$mimeapps" || qf_fail "mimeapps.list is not as it was"
echo "PASSED: damaged hive kept aside, damaged mimeapps.list line kept"
