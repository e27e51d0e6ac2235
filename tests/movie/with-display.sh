#!/bin/bash
# Runs a program under a private X server; 77 (skipped) when none can be had.
# shellcheck source=../../scripts/lib/display.bash
source "$(dirname "$0")/../../scripts/lib/display.bash"
work=$(mktemp -d "${TMPDIR:-/tmp}/quillfen-display.XXXXXX")
trap 'display_stop; rm -rf "$work"' EXIT
if ! command -v Xvfb >/dev/null || ! display_start "$work"; then
  echo "SKIPPED: no X server: $(cat "$work/xvfb.log" 2>/dev/null)" >&2
  exit 77
fi
"$@"
