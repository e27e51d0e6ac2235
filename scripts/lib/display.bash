# A private X server for one script or test (sourced, not run). Shared by the
# desktop tests, the movie page's tests, scripts/start and the benchmarks.
#
#   display_start DIR   starts Xvfb; on success DISPLAY names it and
#                       DISPLAY_XVFB_PID is its process; returns 1 when it
#                       cannot start (the reason is in DIR/xvfb.log)
#   display_stop        ends it and waits until it has gone
#
# Xvfb picks a free display itself and names it once it listens
# (-displayfd), so two never share one. Without -noreset the server resets
# whenever its last client leaves, and the readiness probe below is such a
# client: a program connecting during that reset is refused ("cannot open
# display"). Stopping waits for the server to end, so that the next one never
# meets its lock file or socket.
#
# The desktop program keeps one window per session bus, so a program started
# on a private X server must never reach one of the user's session, nor one
# of another script or test: display_start leaves it without a session bus
# (every start then runs on its own), unless the caller runs under a private
# bus of its own and says so with DISPLAY_OWN_BUS=1.

DISPLAY_XVFB_PID=""

display_start() {
  local dir=$1 named=$1/xvfb.display
  : >"$named"
  [ "${DISPLAY_OWN_BUS:-0}" = 1 ] || export DBUS_SESSION_BUS_ADDRESS="unix:path=$dir/no-session-bus"
  Xvfb -displayfd 3 -noreset -screen 0 1280x800x24 -nolisten tcp 3>"$named" >"$dir/xvfb.log" 2>&1 &
  DISPLAY_XVFB_PID=$!
  local _
  for _ in $(seq 400); do
    if [ -s "$named" ]; then
      export DISPLAY=":$(head -n 1 "$named" | tr -d '[:space:]')"
      if xdpyinfo >/dev/null 2>&1 || xdotool getdisplaygeometry >/dev/null 2>&1; then return 0; fi
    fi
    kill -0 "$DISPLAY_XVFB_PID" 2>/dev/null || break
    sleep 0.05
  done
  display_stop
  return 1
}

display_stop() {
  [ -n "$DISPLAY_XVFB_PID" ] || return 0
  kill "$DISPLAY_XVFB_PID" 2>/dev/null || true
  wait "$DISPLAY_XVFB_PID" 2>/dev/null || true
  DISPLAY_XVFB_PID=""
}
