#!/usr/bin/env bash
# Pictures for the README: the main window's setup and work views, the settings dialog, the about
# box and the window announcing a new version, taken on a virtual X display (Xvfb). No picture
# asks the update server: the announced version comes from the settings record.
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
