#!/usr/bin/env bash
# Installs every build and test dependency from Debian's packages, and the browser driver of the
# report viewer's test from npm (pinned by tests/viewer/package-lock.json; the browser itself is
# Debian's). Quick when all are present.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
PKGS=(build-essential cmake pkg-config qt6-base-dev libgl-dev libpugixml-dev libzip-dev libdeflate-dev
      libgtest-dev libgmock-dev libbenchmark-dev python3 python3-openpyxl xvfb xauth zip unzip
      libxml2-utils clang libclang-rt-14-dev libicu-dev libjemalloc-dev openssl fonts-dejavu-core
      libreoffice-calc-nogui python3-uno poppler-utils x11-apps imagemagick chromium nodejs
      dpkg-dev lintian appstream desktop-file-utils)
missing=()
for p in "${PKGS[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
# npm comes with some builds of nodejs and is Debian's own package beside others.
command -v npm >/dev/null || missing+=(npm)
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  echo "Installing: ${missing[*]}"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
if [ ! -d "$ROOT/tests/viewer/node_modules/playwright-core" ]; then
  (cd "$ROOT/tests/viewer" && npm ci --no-audit --no-fund --loglevel=error)
fi
