# The desktop program of the Debian package, unpacked into a throwaway root
# and started the way the desktop starts its applications-menu entry (gio,
# with a card's folder for %f): it is the installed program, it is given the
# folder as one argument, it shows its movie from the installed files, and
# its window's class is the entry's StartupWMClass, so that the desktop
# ties the window to the entry and its icon.
source "$(dirname "$0")/gui_common.bash" "$1"
source "$(dirname "$0")/lib/package.bash" "$1"
command -v gio >/dev/null || gui_skip "gio is not installed"
ROOT=$GUI_TMP/root
pkg_unpack "$ROOT"
gui_start_x
gui_private_home

entry=$ROOT/usr/share/applications/$PKG_APP_ID.desktop
icon=$(sed -n 's/^Icon=//p' "$entry")
[ -f "$ROOT/usr/share/icons/hicolor/scalable/apps/$icon.svg" ] || gui_fail "the entry's icon $icon is not in the package"

# Exec names the program by its name alone: the root's bin comes first in PATH.
CARD="$GUI_TMP/media/EOS DIGITAL"
mkdir -p "$CARD/DCIM/100TEST"
PATH="$ROOT/usr/bin:$PATH" gio launch "$entry" "$CARD" >"$GUI_TMP/program.log" 2>&1 ||
  gui_fail "gio could not launch the entry"
# The program gio started is the one whose file is the installed program.
installed=$ROOT/usr/lib/quillfen/quillfen
GUI_PID=""
for _ in $(seq 600); do
  for proc in /proc/[0-9]*; do
    [ "$(readlink "$proc/exe" 2>/dev/null)" = "$installed" ] && GUI_PID=${proc#/proc/}
  done
  [ -n "$GUI_PID" ] && break
  sleep 0.05
done
[ -n "$GUI_PID" ] || gui_fail "the entry did not start the installed program within 30s"
gui_wait_shown 30
mapfile -d '' arguments <"/proc/$GUI_PID/cmdline"
[ "${#arguments[@]}" -eq 2 ] && [ "${arguments[1]}" = "$CARD" ] ||
  gui_fail "the program was given ${#arguments[@]} words for the card: ${arguments[*]}"

wm_class=$(xprop -id "$MAIN_WINDOW" WM_CLASS | sed -n 's/^WM_CLASS(STRING) = "\([^"]*\)".*/\1/p')
[ "$wm_class" = "$(sed -n 's/^StartupWMClass=//p' "$entry")" ] ||
  gui_fail "the window's class $(xprop -id "$MAIN_WINDOW" WM_CLASS) is not the entry's StartupWMClass"
gui_pass "the installed program, started through its entry, shows its movie in a window of class $wm_class"
