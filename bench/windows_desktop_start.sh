#!/usr/bin/env bash
# Time from starting LexmoraCT.exe under wine to its window on the screen, for a timing tool to
# repeat: windows_desktop_start.sh PROGRAM_FOLDER. Run it on a display (xvfb-run) with WINEPREFIX set
# and wine's server already started there, so that only the program's own start is timed.
set -euo pipefail
cd "$1"
/usr/lib/wine/wine64 ./LexmoraCT.exe >/dev/null 2>&1 &
program=$!
until xdotool search --onlyvisible --name '^Lexmora Comparison Tool' >/dev/null 2>&1; do sleep 0.02; done
kill "$program"
wait "$program" 2>/dev/null || true
