#!/usr/bin/env bash
# Installs every build and test dependency from Debian's packages. Quick when all are present.
set -euo pipefail
PKGS=(build-essential cmake pkg-config qt6-base-dev libgl-dev libpugixml-dev libzip-dev libdeflate-dev
      libgtest-dev libgmock-dev libbenchmark-dev python3 python3-openpyxl xvfb xauth zip unzip
      libxml2-utils clang libclang-rt-14-dev libicu-dev libjemalloc-dev openssl fonts-dejavu-core
      libreoffice-calc-nogui python3-uno poppler-utils x11-apps imagemagick)
missing=()
for p in "${PKGS[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
echo "Installing: ${missing[*]}"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
