#!/usr/bin/env bash
# Starts the demo. Without a display it runs the program under Xvfb for a few seconds and
# saves a screenshot instead, so `make demo` works on a headless machine too.
set -euo pipefail
build=${1:-build}
prog="$build/tablo"
args=(--demo)

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec "$prog" "${args[@]}"
fi

shot="$build/demo-screenshot.png"
seconds=${TABLO_DEMO_SECONDS:-8}
echo "No display: running the demo under Xvfb for $seconds s."
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  "$1" "${@:4}" & pid=$!
  sleep "$2"
  import -window root "$3" || xwd -root -silent | convert xwd:- "$3"
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
' _ "$prog" "$seconds" "$shot" "${args[@]}"
echo "Screenshot saved: $shot"
