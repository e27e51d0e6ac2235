#!/bin/sh
# Runs a program under a private X server; 77 (skipped) when none can be had.
if command -v xvfb-run >/dev/null 2>&1; then
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$@"
fi
if [ -n "$DISPLAY" ]; then
  exec "$@"
fi
echo "no X server: neither xvfb-run nor DISPLAY" >&2
exit 77
