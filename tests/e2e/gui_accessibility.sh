#!/bin/bash
# What a screen reader finds, through AT-SPI on a session bus of the test's
# own, and what the keyboard alone reaches: every control's role, a name that
# says what it is for, its tooltip as description and its state; the
# progress bar's name and value; the status read out as it changes. After
# every kind of box (a confirmation cancelled with Escape, the final "all
# moved", a refusal, the folder dialog, the About window) the focus is back
# where it was, or on Move. The About window's address is a link reached with
# Tab and opened with Enter. WebKit keeps nothing in the home folder.
GUI_SESSION_BUS=1
source "$(dirname "$0")/gui_common.bash" "$1"
# Debian's python3-pyatspi belongs to the system's Python.
PYTHON=/usr/bin/python3
"$PYTHON" -c "import pyatspi" 2>/dev/null || gui_skip "pyatspi is not installed (python3-pyatspi)"
gui_start_x
gui_private_home
unset NO_AT_BRIDGE GTK_A11Y
# Accessibility on, as a screen reader switches it on.
gdbus call --session --dest org.a11y.Bus --object-path /org/a11y/bus --method org.freedesktop.DBus.Properties.Set \
  org.a11y.Status IsEnabled "<true>" >/dev/null 2>&1 || gui_skip "no accessibility bus (at-spi2-core)"
gui_program_copy
gui_url_recorder
gui_make_card "$GUI_TMP/card" 3
mkdir -p "$GUI_TMP/target"
gui_settings "Language=English" "Source=$GUI_TMP/card" "Target=$GUI_TMP/target"

controls() { "$PYTHON" "$(dirname "$0")/lib/atspi_tree.py" quillfen; }
keys() { xdotool windowfocus --sync "$MAIN_WINDOW" key --delay 120 "$@"; }
# expect_focus WHAT "ROLE | NAME": the control with the keyboard focus.
expect_focus() {
  local focused
  for _ in $(seq 30); do
    focused=$(controls | awk -F' [|] ' '$4 ~ /focused/ { print $1 " | " $2 }' | tail -1)
    [ "$focused" = "$2" ] && return 0
    sleep 0.2
  done
  gui_fail "$1: the focus is on '$focused', not on '$2'"
}

gui_launch
gui_wait_shown 20
for _ in $(seq 50); do controls >/dev/null 2>&1 && break; sleep 0.2; done
expected="check menu item | Русский |  | enabled
check menu item | English |  | enabled,checked
check menu item | العربية |  | enabled
check menu item | 简体中文 |  | enabled
check menu item | Nederlands |  | enabled
check menu item | Français |  | enabled
check menu item | Deutsch |  | enabled
check menu item | Italiano |  | enabled
check menu item | 日本語 |  | enabled
check menu item | Polski |  | enabled
check menu item | Português (Brasil) |  | enabled
check menu item | Español |  | enabled
check menu item | Українська |  | enabled
check menu item | Move every camera file (RAW, video, ...) | Takes the RAW files, videos and sidecar files too, each shot under one name | enabled
check menu item | Day folders by the date taken | With day folders, each picture goes into the folder of the day it was taken | 
check menu item | Write a list of checksums | Writes into each folder a move fills a list of its files and their checksums, which \"xxhsum -c\" checks later | enabled
check menu item | Eject the card when it is empty | Ejects the card after a move that leaves it empty, so that it may be removed at once | enabled
check menu item | Second copy in a backup folder... | Copies every picture to a folder on another drive too; the card's picture goes only when both copies are checked | enabled
check menu item | Test mode (no files are moved) | Goes through the whole move without moving any file | enabled
entry | Pictures from: | The memory card or folder the pictures are taken from / $GUI_TMP/card | focusable,enabled
push button | Browse... Pictures from: | Choose the card or folder to move pictures from | focusable,enabled
entry | Move to: | The folder the pictures are moved into / $GUI_TMP/target | focusable,enabled
push button | Browse... Move to: | Choose the folder to move pictures to | focusable,enabled
check box | Move at once when a card is inserted | When Quillfen is started for a card, the pictures are moved without waiting for you | focusable,enabled
check box | Number the pictures (0001.JPG, 0002.JPG...) | Each picture gets the next free number in the destination folder, so no names clash | focusable,enabled,checked
check box | Offer Quillfen when a card is inserted | Lists Quillfen among the actions the desktop offers for a new camera card | focusable,enabled
check box | Put pictures in a day folder ($(date +%y%m%d)) | Creates a folder named after today's date (yymmdd) in the destination folder | focusable,enabled
status bar |  |  | enabled | 
progress bar | Progress of the move |  | enabled | 0
push button | Move | Move all pictures from the card to the destination folder | focusable,enabled
push button | Pause |  | 
push button | Cancel |  | "
[ "$(controls)" = "$expected" ] || gui_fail "the controls are not as expected:
$(diff <(echo "$expected") <(controls))"

# Nine Tabs reach Move; Enter asks to confirm, Escape cancels.
keys Tab Tab Tab Tab Tab Tab Tab Tab Tab
expect_focus "nine Tabs" "push button | Move"
keys Return
gui_keys_in_dialog "Moving pictures" Escape
expect_focus "a cancelled confirmation" "push button | Move"
# Confirmed, the pictures are moved; the final box is answered with Enter.
keys Return
gui_keys_in_dialog "Moving pictures" Return
gui_wait_box "text=All pictures have been moved."
gui_keys_in_dialog "Quillfen" Return
expect_focus "the final box" "push button | Move"
# What was read out last is a status line as it stands (after the pause
# between two lines read out).
unquoted() { tr -d '"\\'; }
lines=$(gui_js "['infoFrom','infoTo','infoOperation','infoExtra'].map((id) => document.getElementById(id).textContent).join('|')" | unquoted)
for _ in $(seq 30); do
  announced=$(controls | sed -n 's/^status bar | .* | //p' | unquoted)
  [ -n "$announced" ] && [[ "|$lines|" == *"|$announced|"* ]] && break
  sleep 0.2
done
[[ "|$lines|" == *"|$announced|"* ]] || gui_fail "'$announced' was read out, not a status line of $lines"

# The card is empty now: Move is refused with a box.
keys Return
gui_keys_in_dialog "No pictures" Return
expect_focus "a refusal" "push button | Move"
# Tab goes round to the first control and on to the source's Browse, whose
# dialog Escape closes.
keys Tab Tab
expect_focus "Tab past the last control" "push button | Browse... Pictures from:"
keys Return
gui_keys_in_dialog "Choose the card or folder to move pictures from" Escape
expect_focus "the folder dialog" "push button | Browse... Pictures from:"

# The About window (F10, Help, About): its address is a link, the first Tab
# stop, opened with Enter; Escape closes the window.
keys F10 Right Down Return
about=$(gui_dialog "About Quillfen")
xdotool windowfocus --sync "$about" key Tab
expect_focus "Tab in the About window" "link | $(sed -n 's/^QUILLFEN_HOME_PAGE:[A-Z]*=//p' "$BUILD_DIR/CMakeCache.txt")"
xdotool windowfocus --sync "$about" key Return
for _ in $(seq 100); do [ -s "$GUI_URLS" ] && break; sleep 0.05; done
[ -s "$GUI_URLS" ] || gui_fail "Enter on the link opened nothing"
xdotool windowfocus --sync "$about" key Escape
expect_focus "the About window" "push button | Browse... Pictures from:"

stored=$(find "$HOME" \( -iname '*webkit*' -o -name CacheStorage -o -name 'hsts*' -o -name mediakeys \) -print)
[ -z "$stored" ] || gui_fail "web storage in the home folder: $stored"
gui_pass "roles, names, states and descriptions as expected; the focus comes back after every box"
