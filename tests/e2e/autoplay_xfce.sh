# Xfce: switched on, thunar-volman's photo import starts the desktop program
# with the card's mount point; switched off, the import is as it was,
# property by property and each with its own type, whether it was set before
# or not, and no other property of the channels is touched. A command the
# user set meanwhile stays theirs, and nothing is changed where the settings
# daemon cannot be reached. In an Xfce session, where thunar-volman would not
# mount cards, switching on says so and switches the mounting on when the
# user agrees; it is given back with the rest. Runs Xfce's own settings
# daemon (xfconfd) on a session bus of its own.
if [[ ${QF_OWN_BUS:-0} != 1 ]]; then
  command -v dbus-run-session >/dev/null || { echo "SKIP: dbus-run-session is not installed" >&2; exit 77; }
  QF_OWN_BUS=1 exec dbus-run-session -- bash "$0" "$@"
fi
source "$(dirname "$0")/lib/common.sh"
bus=$DBUS_SESSION_BUS_ADDRESS
qf_private_home
export DBUS_SESSION_BUS_ADDRESS=$bus
command -v gdbus >/dev/null || qf_skip "gdbus is not installed"
xfconf() { gdbus call --session --dest org.xfce.Xfconf --object-path /org/xfce/Xfconf --method "org.xfce.Xfconf.$1" "${@:2}"; }
command -v xfconf-query >/dev/null && xfconf ListChannels >/dev/null 2>&1 ||
  qf_skip "Xfce's settings daemon is not installed (xfconf)"
kept=$XDG_CONFIG_HOME/Quillfen/thunar-volman.ini
# thunar-volman replaces %m (and %%) anywhere in the line, quotes included.
qf_program_copy "$QF_WORK/Ann's 50%m \"Quillfen\""
program=$(dirname "$QF_SCRIPT")/quillfen
card="$QF_WORK/media/Ann's EOS"

# property NAME: its value as GVariant text with its type ("<true>", "<1>"),
# or (absent).
property() { xfconf GetProperty thunar-volman "$1" 2>/dev/null || echo "(absent)"; }
set_property() { xfconf SetProperty thunar-volman "$1" "<$2>" >/dev/null; }
reset_property() { xfconf ResetProperty thunar-volman "$1" false >/dev/null; }
# Every property of every channel with its typed value.
channels() {
  local channel
  for channel in $(xfconf ListChannels | grep -o "'[^']*'" | tr -d "'"); do
    echo "$channel $(xfconf GetAllProperties "$channel" /)"
  done
}
# The command the import runs, as the string it is.
command_of() { xfconf-query -c thunar-volman -p /autophoto/command; }

# expect_offer: the import is on and starts the desktop program with the card.
expect_offer() {
  [[ $(property /autophoto/enabled) == "(<true>,)" ]] || qf_fail "the photo import is not enabled"
  local words
  words=$(qf_command_words "$(command_of)" %m "$card")
  [[ $words == "$program"$'\n'"$card" ]] || qf_fail "thunar-volman would run: $words ($(property /autophoto/command))"
  [[ -f $kept ]] || qf_fail "the previous import settings were not kept"
}

# The user's own import, enabled stored as a number, and properties of the
# channels besides it.
set_property /autophoto/enabled "0"
set_property /autophoto/command "'shotwell --import %m'"
set_property /automount-drives/enabled true
set_property /autobrowse/enabled "uint32 1"
xfconf SetProperty xfce4-session /general/SaveOnExit "<true>" >/dev/null
before=$(channels)
qf_autorun true
expect_offer
[[ $(qf_box_count) == 0 ]] || qf_fail "a box came up with the mounting on: $(grep '^box' "$QF_LOG")"
watch=$QF_WORK/signals
gdbus monitor --session --dest org.xfce.Xfconf >"$watch" 2>/dev/null &
monitor=$!
sleep 0.3
qf_autorun true
sleep 0.3
kill "$monitor"
! grep -q PropertyChanged "$watch" || qf_fail "a start with the offer in place set properties again: $(cat "$watch")"
qf_autorun false
[[ $(channels) == "$before" ]] || qf_fail "the import is not as it was: $(channels) (before: $before)"
[[ ! -e $kept ]] || qf_fail "the kept settings stayed after they were given back"

# No import set before: both properties are created, and removed again.
reset_property /autophoto/enabled
reset_property /autophoto/command
before=$(channels)
qf_autorun true
expect_offer
qf_autorun false
[[ $(channels) == "$before" ]] || qf_fail "the import was not removed again: $(channels)"

# A command the user sets while the offer stands is theirs to keep.
qf_autorun true
set_property /autophoto/command "'darktable %m'"
qf_autorun false
[[ $(command_of) == "darktable %m" && $(property /autophoto/enabled) == "(<true>,)" ]] ||
  qf_fail "the user's own command was replaced: $(property /autophoto/command)"
[[ ! -e $kept ]] || qf_fail "the kept settings stayed after the user took over"

# No daemon to answer: nothing is kept or set, and what is kept is not given
# up; switched off once the daemon answers, the import is given back.
reset_property /autophoto/command
reset_property /autophoto/enabled
before=$(channels)
DBUS_SESSION_BUS_ADDRESS=unix:path=$QF_WORK/no-bus qf_autorun true
[[ ! -e $kept && $(channels) == "$before" ]] || qf_fail "settings were changed without the daemon"
qf_autorun true
DBUS_SESSION_BUS_ADDRESS=unix:path=$QF_WORK/no-bus qf_autorun false
[[ -f $kept ]] || qf_fail "the kept settings were dropped while the daemon could not take them back"
qf_autorun false
[[ $(channels) == "$before" ]] || qf_fail "the import was not given back later: $(channels)"

# In an Xfce session with the mounting off (thunar-volman's default), the
# user hears why no card would be offered: Cancel leaves the mounting alone,
# OK switches it on, and switching off gives it back as it was. Outside Xfce
# nothing is said.
reset_property /automount-drives/enabled
qf_autorun true
[[ $(qf_box_count) == 0 ]] || qf_fail "a box about Xfce came up outside Xfce"
qf_autorun false
before=$(channels)
export XDG_CURRENT_DESKTOP=XFCE
# The box's text as the event log writes it (its line breaks are CR LF).
question=$(qf_dialog xfce_automount_off | sed 's/\\n/\\r\\n/g')
qf_autorun true Cancel
qf_expect_box "box question OKCancel title=Quillfen text=$question -> Cancel"
[[ $(property /automount-drives/enabled) == "(absent)" ]] || qf_fail "Cancel switched the mounting on"
qf_autorun false
set_property /automount-drives/enabled "0"
before=$(channels)
qf_autorun true OK
qf_expect_box "text=$question -> OK"
[[ $(property /automount-drives/enabled) == "(<true>,)" ]] || qf_fail "OK did not switch the mounting on"
expect_offer
qf_autorun false
[[ $(channels) == "$before" ]] || qf_fail "the mounting was not given back as it was: $(channels) (before: $before)"
echo "PASSED: the photo import offered and given back with its types, the mounting asked for in Xfce"
