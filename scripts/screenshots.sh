#!/usr/bin/env bash
# Pictures of the main window for the README: the setup view with the example files and the work
# view after comparing them, taken on a virtual X display (Xvfb).
# Usage: scripts/screenshots.sh [BUILD_DIR]   (writes docs/*.png)
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${1:-build}
cmake --build "$BUILD_DIR" --target window_shots -j 2 >/dev/null
mkdir -p docs
# A private runtime folder, so that nothing collides with a program already running.
RUNTIME=$(mktemp -d)
chmod 700 "$RUNTIME"
trap 'rm -rf "$RUNTIME"' EXIT
XDG_RUNTIME_DIR=$RUNTIME QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x800x24 -dpi 96" \
  "$BUILD_DIR/tests/shell/window/window_shots" docs examples
