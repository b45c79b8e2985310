#!/usr/bin/env bash
# Builds Qt for 64-bit Windows from Debian's own qt6-base source package, at the version of the
# installed native qt6-base-dev, so the desktop program's Windows build uses the same Qt code as
# the Linux one. Only what the program and its tests use: Core, Gui, Widgets, Network (TLS through
# Windows's own Schannel, so no OpenSSL is shipped), Test, and the Windows platform and style
# plugins (plus the offscreen platform, for the tests). Debian's native moc, rcc and uic are the
# host tools: they are the same version.
#
# The result is a shared Qt in ${LEXMORA_CROSS_CACHE:-~/.cache/lexmora-cross}/qt6-base-<version>/,
# built only when missing (about 40 minutes on 2 cores), in a side folder renamed at the end; the
# cache's qt-prefix.cmake names it for cmake/mingw-w64-x86_64.cmake. Run install-cross-deps.sh
# first (the MinGW compilers).
set -euo pipefail
shopt -s inherit_errexit
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
CACHE="${LEXMORA_CROSS_CACHE:-$HOME/.cache/lexmora-cross}"
JOBS="${LEXMORA_QT_JOBS:-2}"
NICE=15
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
# shellcheck source=source-builds.sh
. "$ROOT/scripts/source-builds.sh"

# --check: only say (by the exit status) whether Qt for Windows of the pinned version is built.
if [ "${1:-}" = "--check" ]; then
  version="$(dpkg-query -W -f='${source:Version}' qt6-base-dev 2>/dev/null)" || exit 1
  [ -d "$CACHE/qt6-base-${version#*:}" ] && [ -f "$CACHE/qt-prefix.cmake" ]
  exit
fi

# The rest serve the desktop test: the installer's tools, a virtual display and its driver, and
# the fonts a Windows system has (without them wine draws dialogs in a stand-in serif face).
EnsurePackages qt6-base-dev qt6-base-dev-tools g++-mingw-w64-x86-64-posix ninja-build cmake dpkg-dev nsis \
  xvfb xdotool imagemagick fonts-wine
QT_VERSION="$(SourceVersion qt6-base-dev)"
QT_PREFIX="$CACHE/qt6-base-$QT_VERSION"
echo "Pinned: qt6-base $QT_VERSION (host tools: qt6-base-dev-tools $(dpkg-query -W -f='${Version}' qt6-base-dev-tools))"

BuildQt() {
  local prefix="$1" src
  src="$(FetchSource qt6-base "$QT_VERSION")"
  # Qt's own configure run needs no cache prefixes: Qt brings its zlib, pcre2, harfbuzz, libpng
  # and freetype along, so the DLLs depend on nothing but Windows and the MinGW runtime.
  cat >toolchain.cmake <<TOOLCHAIN
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
TOOLCHAIN
  # Tablet events need wintab.h, which Debian's source and MinGW both lack. Without OpenGL the
  # Windows platform plugin still asks for dynamic OpenGL unless told not to.
  cmake -G Ninja -S "$src" -B build -DCMAKE_TOOLCHAIN_FILE="$PWD/toolchain.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF \
    -DFEATURE_sql=OFF -DFEATURE_dbus=OFF -DFEATURE_opengl=OFF -DFEATURE_vulkan=OFF \
    -DFEATURE_printsupport=OFF -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF \
    -DFEATURE_dynamicgl=OFF -DFEATURE_tabletevent=OFF -DFEATURE_openssl=OFF -DFEATURE_schannel=ON -DFEATURE_icu=OFF \
    -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_harfbuzz=OFF \
    -DFEATURE_system_png=OFF -DFEATURE_system_freetype=OFF -DFEATURE_jpeg=OFF -DFEATURE_gif=OFF \
    -DFEATURE_brotli=OFF -DFEATURE_zstd=OFF -DFEATURE_pdf=OFF >configure.log 2>&1
  nice -n "$NICE" cmake --build build -j "$JOBS" >build.log 2>&1
  cmake --install build >install.log 2>&1
}

Ensure qt6-base BuildQt "$QT_PREFIX"

cat >"$CACHE/qt-prefix.cmake.tmp" <<EOF
# Written by scripts/install-qt-cross.sh.
set(LEXMORA_QT_PREFIX "$QT_PREFIX")
EOF
mv "$CACHE/qt-prefix.cmake.tmp" "$CACHE/qt-prefix.cmake"
echo "Qt for Windows: $QT_PREFIX"
