# Shared by the desktop end-to-end tests (tests/e2e/gui_*.sh): a private X
# server, a private home, a copy of the program folder with the tests' build
# of the program in it, and the means to drive the real window.
#
# The tests' build (quillfen-e2e) is the desktop program with one addition,
# the test hook: it evaluates script lines from a FIFO in the movie page and
# logs every message box. Keys and clicks go through X with xdotool.
# Sourced with the program folder as $1; exits 77 when no X server can start.

set -euo pipefail

PROGRAM_DIR=$(cd "$1" && pwd)
# shellcheck source=../../scripts/lib/display.bash
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/lib/display.bash"
BUILD_DIR=$(dirname "$PROGRAM_DIR")
E2E_PROGRAM="$BUILD_DIR/e2e/quillfen-e2e"
MOVIE_HEIGHT=245
MOVIE_WIDTH=593

gui_skip() { echo "SKIPPED: $*" >&2; exit 77; }
gui_fail() {
  echo "FAILED: $*" >&2
  if [ -n "${HOOK:-}" ] && [ -s "$HOOK/events" ]; then sed 's/^/  box seen: /' "$HOOK/events" >&2; fi
  if [ -s "${GUI_TMP:-}/program.log" ]; then sed 's/^/  program: /' "$GUI_TMP/program.log" >&2; fi
  # A picture of the screen at the failure, where the caller asks for one.
  if [ -n "${GUI_FAILURE_SHOT:-}" ] && [ -n "${DISPLAY:-}" ]; then import -window root "$GUI_FAILURE_SHOT" || true; fi
  exit 1
}

# A test that sets GUI_SESSION_BUS=1 before sourcing this file runs under a
# session bus of its own, where the program keeps one window; every other
# test runs without one (scripts/lib/display.bash).
if [ "${GUI_SESSION_BUS:-0}" = 1 ] && [ "${DISPLAY_OWN_BUS:-0}" != 1 ]; then
  command -v dbus-run-session >/dev/null || gui_skip "dbus-run-session is not installed"
  DISPLAY_OWN_BUS=1 exec dbus-run-session -- bash "$0" "$PROGRAM_DIR"
fi

for tool in Xvfb xdotool xprop; do
  command -v "$tool" >/dev/null || gui_skip "$tool is not installed"
done
[ -x "$E2E_PROGRAM" ] || gui_skip "$E2E_PROGRAM is not built (target quillfen-e2e)"

GUI_TMP=$(mktemp -d "${TMPDIR:-/tmp}/quillfen-gui.XXXXXX")
GUI_PID=""

gui_cleanup() {
  if [ -n "$GUI_PID" ] && kill -0 "$GUI_PID" 2>/dev/null; then
    kill "$GUI_PID" 2>/dev/null || true
    wait "$GUI_PID" 2>/dev/null || true
  fi
  display_stop
  # The player's helper processes end on their own once the program is gone.
  if [ "${GUI_KEEP_TMP:-0}" != 1 ]; then
    for _ in 1 2 3 4 5; do rm -rf "$GUI_TMP" 2>/dev/null && break; sleep 0.5; done
  fi
  return 0
}
trap gui_cleanup EXIT

# A private X server on a free display (scripts/lib/display.bash).
gui_start_x() {
  display_start "$GUI_TMP" || gui_skip "Xvfb could not start: $(cat "$GUI_TMP/xvfb.log" 2>/dev/null)"
}

# A private home: settings, desktop files and caches stay in the test.
gui_private_home() {
  export HOME="$GUI_TMP/home"
  export XDG_CONFIG_HOME="$HOME/.config" XDG_DATA_HOME="$HOME/.local/share" XDG_CACHE_HOME="$HOME/.cache"
  export XDG_RUNTIME_DIR="$GUI_TMP/runtime"
  export GSETTINGS_BACKEND=memory NO_AT_BRIDGE=1 LANG=C.UTF-8 LC_ALL= LC_MESSAGES=
  # The session the tests were started from is not the test's either: not its
  # desktop, and not its bus, which reaches settings daemons (Xfce's) whatever
  # HOME says; the program finds the private runtime folder's bus, or none,
  # unless the test runs under a bus of its own.
  unset XDG_CURRENT_DESKTOP
  [ "${DISPLAY_OWN_BUS:-0}" = 1 ] || unset DBUS_SESSION_BUS_ADDRESS
  mkdir -p "$XDG_CONFIG_HOME/Quillfen" "$XDG_DATA_HOME" "$XDG_CACHE_HOME" "$XDG_RUNTIME_DIR"
  chmod 700 "$XDG_RUNTIME_DIR"
  SETTINGS_FILE="$XDG_CONFIG_HOME/Quillfen/settings.ini"
}

# A stand-in browser in the private home: the desktop's handler of http and
# https addresses, which appends each address it is given to $GUI_URLS.
gui_url_recorder() {
  GUI_URLS="$GUI_TMP/opened-urls"
  mkdir -p "$XDG_DATA_HOME/applications"
  printf '#!/bin/sh\nprintf "%%s\\n" "$1" >>"%s"\n' "$GUI_URLS" >"$GUI_TMP/record-url"
  chmod +x "$GUI_TMP/record-url"
  printf '[Desktop Entry]\nType=Application\nName=Address recorder\nExec=%s %%u\nMimeType=%s\nNoDisplay=true\n' \
    "$GUI_TMP/record-url" "x-scheme-handler/https;x-scheme-handler/http;" >"$XDG_DATA_HOME/applications/recorder.desktop"
  printf '[Default Applications]\nx-scheme-handler/https=recorder.desktop\nx-scheme-handler/http=recorder.desktop\n' \
    >"$XDG_CONFIG_HOME/mimeapps.list"
}

# Writes key=value lines into the [Settings] section of the settings file.
gui_settings() {
  { echo "[Settings]"; for pair in "$@"; do echo "$pair"; done; } >"$SETTINGS_FILE"
}

# A copy of the program folder holding the tests' build; "without-movie"
# leaves the movie out.
gui_program_copy() {
  APP_DIR="$GUI_TMP/program"
  mkdir -p "$APP_DIR"
  cp -r "$PROGRAM_DIR"/. "$APP_DIR"/
  rm -f "$APP_DIR/quillfen" "$APP_DIR/quillfen-script"
  cp "$E2E_PROGRAM" "$APP_DIR/quillfen"
  if [ "${1:-}" = without-movie ]; then rm -rf "$APP_DIR/Flex"; fi
}

# Starts the program with the given arguments and the hook.
gui_launch() {
  HOOK="$GUI_TMP/hook"
  mkdir -p "$HOOK"
  rm -f "$HOOK/script" "$HOOK/results" "$HOOK/events"
  mkfifo "$HOOK/script"
  : >"$HOOK/results"
  : >"$HOOK/events"
  echo 0 >"$HOOK/count"
  QUILLFEN_TEST_HOOK="$HOOK" "$APP_DIR/quillfen" "$@" >"$GUI_TMP/program.log" 2>&1 &
  GUI_PID=$!
  GUI_STARTED_NS=$(date +%s%N)
}

gui_running() { kill -0 "$GUI_PID" 2>/dev/null; }

# Starts the program again while it runs, as the desktop does, in the given
# working folder and with the given arguments, and waits until this later
# start has ended; its exit status is left in LATER_STATUS.
gui_later_start() {
  local folder=$1 pid
  shift
  (cd "$folder" && exec "$APP_DIR/quillfen" "$@") >>"$GUI_TMP/later.log" 2>&1 &
  pid=$!
  for _ in $(seq 1200); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.05
  done
  if kill -0 "$pid" 2>/dev/null; then
    kill "$pid"
    gui_fail "a later start did not end but ran on its own: $(cat "$GUI_TMP/later.log")"
  fi
  LATER_STATUS=0
  wait "$pid" || LATER_STATUS=$?
}

# The main window (its role is "main"); empty until it is mapped.
gui_main_window() {
  local w
  for w in $(xdotool search --onlyvisible --pid "$GUI_PID" 2>/dev/null); do
    if xprop -id "$w" WM_WINDOW_ROLE 2>/dev/null | grep -q '"main"'; then echo "$w"; return; fi
  done
}

# Waits until the movie is shown (the window says so in _QUILLFEN_MOVIE_SHOWN).
gui_wait_shown() {
  local timeout=${1:-20} w
  for _ in $(seq $((timeout * 50))); do
    gui_running || gui_fail "the program ended early: $(cat "$GUI_TMP/program.log")"
    w=$(gui_main_window)
    if [ -n "$w" ] && xprop -id "$w" _QUILLFEN_MOVIE_SHOWN 2>/dev/null | grep -q '= 1'; then
      MAIN_WINDOW=$w
      return 0
    fi
    sleep 0.02
  done
  gui_fail "the movie was not shown within ${timeout}s"
}

# Evaluates one line of script in the movie page; prints its result as JSON.
# (The line count lives in a file: callers often run this in a subshell.)
gui_js() {
  local number line
  number=$(($(cat "$HOOK/count") + 1))
  echo "$number" >"$HOOK/count"
  printf '%s\n' "$1" >"$HOOK/script"
  for _ in $(seq 500); do
    line=$(grep -m1 "^$number " "$HOOK/results" || true)
    if [ -n "$line" ]; then
      echo "${line#* }"
      return 0
    fi
    sleep 0.02
  done
  gui_fail "the page did not answer: $1"
}

# Waits until a message box whose log line matches the pattern has come up.
gui_wait_box() {
  local pattern=$1 timeout=${2:-20}
  for _ in $(seq $((timeout * 20))); do
    grep -q -- "$pattern" "$HOOK/events" && return 0
    sleep 0.05
  done
  gui_fail "no box matching '$pattern' within ${timeout}s; boxes: $(cat "$HOOK/events")"
}

# Waits (up to ten seconds) until the first picture has arrived in the folder,
# so that a move started in the window is under way.
gui_wait_first_picture() {
  for _ in $(seq 1000); do
    [ -n "$(find "$1" -name '*.JPG' -print -quit)" ] && return 0
    sleep 0.01
  done
}

# The window of an open dialog of the program with exactly this title.
gui_dialog() {
  local title=$1 w
  for _ in $(seq 200); do
    for w in $(xdotool search --onlyvisible --pid "$GUI_PID" 2>/dev/null); do
      [ "$(xdotool getwindowname "$w")" = "$title" ] && [ "$w" != "${MAIN_WINDOW:-}" ] && { echo "$w"; return 0; }
    done
    sleep 0.05
  done
  gui_fail "no dialog titled '$title'"
}

# Presses keys in the dialog with this title.
gui_keys_in_dialog() {
  local title=$1 w
  shift
  w=$(gui_dialog "$title")
  xdotool windowfocus --sync "$w" key --delay 50 "$@"
}

# Where the middle of a movie control is, in the main window's coordinates.
gui_control_position() {
  local rect x y top
  rect=$(gui_js "(() => { const r = document.getElementById('$1').getBoundingClientRect(); return [Math.round(r.left + r.width / 2), Math.round(r.top + r.height / 2)]; })()")
  x=$(echo "$rect" | tr -d '[]' | cut -d, -f1)
  y=$(echo "$rect" | tr -d '[]' | cut -d, -f2)
  # The movie fills the bottom of the window, below the menu bar.
  top=$(($(gui_window_height) - MOVIE_HEIGHT))
  echo "$x $((top + y))"
}

# Clicks the middle of a movie control, given its element id, with the mouse.
gui_click() {
  # shellcheck disable=SC2046
  xdotool mousemove --window "$MAIN_WINDOW" $(gui_control_position "$1") click 1
}

gui_window_height() { xwininfo -id "$MAIN_WINDOW" | awk '/Height:/ {print $2}'; }
gui_window_width() { xwininfo -id "$MAIN_WINDOW" | awk '/Width:/ {print $2}'; }

# Camera pictures: count files of size bytes, IMG_0001.JPG on (wider numbers
# for more than 9999), in folders of
# at most 500 in a DCIM tree below folder (split writes them in one go).
gui_make_card() {
  local folder=$1 count=$2 size=${3:-2048} first=1 n dir width=4
  [ "${#count}" -gt 4 ] && width=${#count}
  while [ "$first" -le "$count" ]; do
    n=$((count - first + 1))
    [ "$n" -gt 500 ] && n=500
    dir="$folder/DCIM/$((100 + (first - 1) / 500))CANON"
    mkdir -p "$dir"
    head -c $((n * size)) /dev/urandom |
      split -b "$size" -a "$width" -d --numeric-suffixes="$first" --additional-suffix=.JPG - "$dir/IMG_"
    first=$((first + n))
  done
}

gui_count_pictures() { find "$1" -type f -iname '*.jpg' 2>/dev/null | wc -l; }

# Ends a test that passed, unless the program reported a fault of its own
# (a call into the movie or a request of the movie that failed).
gui_pass() {
  if grep -E "movie failed|request of the movie failed" "$GUI_TMP/program.log" >&2; then
    gui_fail "the program reported faults"
  fi
  echo "PASSED: $*"
}

gui_screenshot() {
  if command -v import >/dev/null; then import -window "${2:-root}" "$1"; fi
}
