# GNOME set never to prompt for or start programs on media insertion
# (autorun-never, on by default in newer releases): with the offer on, the
# information line says so once per start, with where to change it, and the
# setting itself is never touched. Nothing is said in another desktop's
# session or with the setting off, and where the setting's schema is not
# installed nothing is said and nothing fails. A stand-in schema and
# GSettings' keyfile back end stand for GNOME's.
source "$(dirname "$0")/lib/common.sh"
qf_private_home
command -v glib-compile-schemas >/dev/null || qf_skip "glib-compile-schemas is not installed"

schemas=$QF_WORK/schemas
mkdir -p "$schemas" "$QF_WORK/no-data-dirs"
cat >"$schemas/org.gnome.desktop.media-handling.gschema.xml" <<'SCHEMA'
<schemalist>
  <schema id="org.gnome.desktop.media-handling" path="/org/gnome/desktop/media-handling/">
    <key name="autorun-never" type="b"><default>false</default></key>
  </schema>
</schemalist>
SCHEMA
glib-compile-schemas "$schemas" || qf_fail "the stand-in schema does not compile"
keyfile=$XDG_CONFIG_HOME/glib-2.0/settings/keyfile
mkdir -p "$(dirname "$keyfile")"
autorun_never() { printf '[org/gnome/desktop/media-handling]\nautorun-never=%s\n' "$1" >"$keyfile"; }
autorun_never true
cp "$keyfile" "$QF_WORK/keyfile.before"
# The machine's own schemas stay out of it.
export GSETTINGS_BACKEND=keyfile GSETTINGS_SCHEMA_DIR=$schemas XDG_DATA_DIRS=$QF_WORK/no-data-dirs
export XDG_CURRENT_DESKTOP=ubuntu:GNOME

notice=$(qf_dialog gnome_autorun_never)
notices() { grep -cF "<string>infoExtra</string><string>$notice</string>" "$QF_LOG" || true; }
# start: one start that only loads the settings (the offer is on by then).
start() {
  printf '%s\nwait 200\n' "$QF_LOAD_SETTINGS" >"$QF_WORK/transcript"
  qf_run "$QF_WORK/transcript"
  [[ ! -s $QF_WORK/stderr ]] || qf_fail "the host complained: $(cat "$QF_WORK/stderr")"
}

# One start in which the offer is switched on, off and on again.
set_autorun() {
  echo "call <invoke name=\"SavePreset\" returntype=\"xml\"><arguments><string>Autorun</string><string>$1</string></arguments></invoke>"
}
{ echo "$QF_LOAD_SETTINGS"; echo "wait 200"; set_autorun true; set_autorun false; set_autorun true; } >"$QF_WORK/transcript"
qf_run "$QF_WORK/transcript"
[[ $(notices) == 1 ]] || qf_fail "the notice came $(notices) times in one start"
start
[[ $(notices) == 1 ]] || qf_fail "the next start said it $(notices) times"
cmp "$keyfile" "$QF_WORK/keyfile.before" || qf_fail "GNOME's setting was changed: $(cat "$keyfile")"

XDG_CURRENT_DESKTOP=KDE start
[[ $(notices) == 0 ]] || qf_fail "the notice came in a KDE session"
autorun_never false
start
[[ $(notices) == 0 ]] || qf_fail "the notice came with the setting off"
autorun_never true
unset GSETTINGS_SCHEMA_DIR
start
[[ $(notices) == 0 ]] || qf_fail "the notice came without the schema"
grep -q '^reply ' "$QF_LOG" || qf_fail "the start without the schema did not load"
echo "PASSED: told once per start, the setting untouched, silent elsewhere"
