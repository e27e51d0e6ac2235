# Xfce: switched on, thunar-volman's photo import starts Quillfen with the
# card's mount point; switched off, the import is as it was, property by
# property, whether it was set before or not, and no other property of the
# channel is ever touched. A command the user set meanwhile stays theirs, and
# nothing is changed where the settings daemon cannot be reached. Xfce is not
# installed where the tests run: a stand-in xfconf-query keeps the values.
source "$(dirname "$0")/lib/common.sh"
qf_private_home

export XFCONF_STANDIN=$QF_WORK/xfconf
mkdir -p "$QF_WORK/bin"
ln -s "$(cd "$(dirname "$0")" && pwd)/lib/xfconf-query.bash" "$QF_WORK/bin/xfconf-query"
export PATH=$QF_WORK/bin:$PATH
kept=$XDG_CONFIG_HOME/Quillfen/thunar-volman.ini
# thunar-volman replaces %m (and %%) anywhere in the line, quotes included.
qf_program_copy "$QF_WORK/Ann's 50%m \"Quillfen\""
card="$QF_WORK/media/Ann's EOS"

property() { xfconf-query -c thunar-volman -p "$1" 2>/dev/null || echo "(absent)"; }
set_property() { xfconf-query -c thunar-volman -p "$1" -n -t "$2" -s "$3"; }
# Every property of every channel with its type and value, one a line.
channels() {
  local f
  (cd "$XFCONF_STANDIN/channels" && find . -type f | sort | while read -r f; do printf '%s=%s\n' "$f" "$(cat "$f")"; done)
}
others() { channels | grep -v '^\./thunar-volman/autophoto/' || true; }
set_calls() { grep -c -- '--set' "$XFCONF_STANDIN/calls" || true; }

# expect_offer: the import is on and starts the program with the card.
expect_offer() {
  [[ $(property /autophoto/enabled) == true ]] || qf_fail "the photo import is not enabled"
  local words
  words=$(qf_command_words "$(property /autophoto/command)" %m "$card")
  [[ $words == "$QF_SCRIPT"$'\n'"$card" ]] ||
    qf_fail "thunar-volman would run: $words (command: $(property /autophoto/command))"
  [[ -f $kept ]] || qf_fail "the previous import settings were not kept"
}

# The user's own import, and properties of the channel besides it.
set_property /autophoto/enabled bool false
set_property /autophoto/command string "shotwell --import %m"
set_property /automount-drives/enabled bool true
set_property /autobrowse/enabled bool true
xfconf-query -c xfce4-session -p /general/SaveOnExit -n -t bool -s true
before=$(channels)
qf_autorun true
expect_offer
[[ $(others) == "$(grep -v '^\./thunar-volman/autophoto/' <<<"$before")" ]] || qf_fail "another property changed"
calls=$(set_calls)
qf_autorun true
[[ $(set_calls) == "$calls" ]] || qf_fail "a start with the offer in place set properties again"
qf_autorun false
[[ $(channels) == "$before" ]] || qf_fail "the import is not as it was: $(channels)"
[[ ! -e $kept ]] || qf_fail "the kept settings stayed after they were given back"

# No import set before: both properties are created, and removed again.
xfconf-query -c thunar-volman -p /autophoto/enabled -r
xfconf-query -c thunar-volman -p /autophoto/command -r
before=$(channels)
qf_autorun true
expect_offer
qf_autorun false
[[ $(channels) == "$before" ]] || qf_fail "the import was not removed again: $(channels)"

# A command the user sets while the offer stands is theirs to keep.
qf_autorun true
set_property /autophoto/command string "darktable %m"
qf_autorun false
[[ $(property /autophoto/command) == "darktable %m" && $(property /autophoto/enabled) == true ]] ||
  qf_fail "the user's own command was replaced: $(property /autophoto/command)"
[[ ! -e $kept ]] || qf_fail "the kept settings stayed after the user took over"

# No daemon to answer: nothing is kept or set, and what is kept is not given
# up; switched off once the daemon answers, the import is given back.
before=$(channels)
touch "$XFCONF_STANDIN/unreachable"
qf_autorun true
rm "$XFCONF_STANDIN/unreachable"
[[ ! -e $kept && $(channels) == "$before" ]] || qf_fail "settings were changed without the daemon"
qf_autorun true
touch "$XFCONF_STANDIN/unreachable"
qf_autorun false
rm "$XFCONF_STANDIN/unreachable"
[[ -f $kept ]] || qf_fail "the kept settings were dropped while the daemon could not take them back"
qf_autorun false
[[ $(channels) == "$before" ]] || qf_fail "the import was not given back later: $(channels)"
echo "PASSED: the photo import offered and given back, the rest of the channels untouched"
