# The notification a long move ends with when the window is not in front,
# sent by the desktop program's shell (GtkShell::Notify, run by the tests'
# program card-eject) to a notification service on a session bus of its own:
# the service receives it, named after the program's desktop entry.
source "$(dirname "$0")/lib/common.sh"

shell=$(dirname "$QF_PROGRAM_DIR")/tests/card-eject
[[ -x $shell ]] || qf_skip "card-eject is not built (it is built with the desktop program)"
command -v dbus-run-session >/dev/null || qf_skip "dbus-run-session is not installed"
/usr/bin/python3 -c 'import gi' 2>/dev/null || qf_skip "python3-gi is not installed"

body=$'2 pictures moved to /tmp/Pictures.\nThe card has been ejected and may be removed.'
# The service's output is read through a copy of its pipe: bash closes a
# coprocess's own descriptors as soon as it ends, which the service does
# right after the notification.
received=$(dbus-run-session -- bash -c '
  coproc server { /usr/bin/python3 "$1"; }
  exec 3<&"${server[0]}"
  read -r ready <&3 && [[ $ready == READY ]] || exit 1
  "$2" --notify Quillfen "$3"
  timeout 10 cat <&3' _ "$(dirname "$0")/lib/notification_server.py" "$shell" "$body" 2>/dev/null)
expected="('Quillfen', 0, 'org.example.Quillfen', 'Quillfen', '${body//$'\n'/\\n}', [], {'desktop-entry': 'org.example.Quillfen'}, -1)"
[[ $received == "$expected" ]] || qf_fail "the notification service received: '$received', expected: '$expected'"
echo "PASS: the notification reached the desktop's service"
