#!/bin/bash
# Runs a program under a private X server; 77 (skipped) when none can be had.
# shellcheck source=../../scripts/lib/display.bash
source "$(dirname "$0")/../../scripts/lib/display.bash"
work=$(mktemp -d "${TMPDIR:-/tmp}/quillfen-display.XXXXXX")
# The page's helper processes may still write for a moment after the test.
trap 'display_stop; for _ in 1 2 3 4 5; do rm -rf "$work" 2>/dev/null && break; sleep 0.5; done' EXIT
if ! command -v Xvfb >/dev/null || ! display_start "$work"; then
  echo "SKIPPED: no X server: $(cat "$work/xvfb.log" 2>/dev/null)" >&2
  exit 77
fi
# A home of the run's own: nothing the page or GTK writes reaches the user's.
export HOME="$work/home" XDG_CACHE_HOME="$work/home/.cache" XDG_DATA_HOME="$work/home/.local/share"
export XDG_CONFIG_HOME="$work/home/.config" MESA_SHADER_CACHE_DISABLE=true
mkdir -p "$HOME"
"$@"
