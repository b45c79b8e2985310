#!/usr/bin/env bash
# Installs Debian's emscripten and builds the libraries the engine needs (zlib, pugixml, libzip,
# libdeflate, ICU's common library) as WebAssembly from Debian's own source packages, at the
# versions of the installed native -dev packages, so that the native and the web builds use the
# same upstream code. Quick when all is present. Emscripten's ports are never used: they download.
#
# Each library goes into ${LEXMORA_WEB_CACHE:-~/.cache/lexmora-web}/<name>-<version>/, a static
# install prefix (include/, lib/, lib/pkgconfig/); ICU's also holds share/icudt72l.dat, cut to what
# word breaking needs, which the programs link in.
# A folder is built only when missing, in a side folder renamed at the end, so a half-finished
# build is never taken for a finished one. The cache's web-prefixes.cmake names the prefixes for
# cmake/emscripten.cmake.
set -euo pipefail
shopt -s inherit_errexit
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
CACHE="${LEXMORA_WEB_CACHE:-$HOME/.cache/lexmora-web}"
TOOLCHAIN="$ROOT/cmake/emscripten.cmake"
# Other builds share the machine: one job, low priority.
JOBS=1
NICE=15
# shellcheck source=source-builds.sh
. "$ROOT/scripts/source-builds.sh"
# Without it emscripten's optimiser cannot find acorn and every link fails.
export NODE_PATH=/usr/share/nodejs

# The native -dev packages are here for their versions; icu-devtools gives icupkg and stands in
# for the ICU tools a cross-build of ICU asks for.
PKGS=(emscripten nodejs dpkg-dev cmake make pkg-config python3 zlib1g-dev libpugixml-dev libzip-dev
      libdeflate-dev libicu-dev icu-devtools)
EnsurePackages "${PKGS[@]}"

ZLIB_VERSION="$(SourceVersion zlib1g-dev)"
PUGIXML_VERSION="$(SourceVersion libpugixml-dev)"
LIBZIP_VERSION="$(SourceVersion libzip-dev)"
LIBDEFLATE_VERSION="$(SourceVersion libdeflate-dev)"
ICU_VERSION="$(SourceVersion libicu-dev)"
ICU_MAJOR="${ICU_VERSION%%.*}"
echo "Pinned: zlib $ZLIB_VERSION, pugixml $PUGIXML_VERSION, libzip $LIBZIP_VERSION," \
     "libdeflate $LIBDEFLATE_VERSION, icu $ICU_VERSION; emscripten $(dpkg-query -W -f='${Version}' emscripten)"

ZLIB_PREFIX="$CACHE/zlib-$ZLIB_VERSION"
PUGIXML_PREFIX="$CACHE/pugixml-$PUGIXML_VERSION"
LIBZIP_PREFIX="$CACHE/libzip-$LIBZIP_VERSION"
LIBDEFLATE_PREFIX="$CACHE/libdeflate-$LIBDEFLATE_VERSION"
ICU_PREFIX="$CACHE/icu-$ICU_VERSION"
ICU_DATA_FILE="$ICU_PREFIX/share/icudt${ICU_MAJOR}l.dat"
# libzip finds zlib in the cache; the other libraries need nothing of it.
CMAKE_TOOLCHAIN_ARGS=(-DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" -DLEXMORA_WEB_PREFIXES="$ZLIB_PREFIX")

# Writes a static-only .pc file: $1 the file, $2 the name, $3 the version, $4 the library.
WritePkgConfig() {
  mkdir -p "$(dirname "$1")"
  printf 'prefix=${pcfiledir}/../..\nName: %s\nDescription: %s\nVersion: %s\nLibs: -L${prefix}/lib -l%s\nCflags: -I${prefix}/include\n' \
    "$2" "$2" "$3" "$4" >"$1"
}

# zlib's own build makes a shared library too, which WebAssembly has no use for: its sources are
# few and compiled here. Note: without HAVE_UNISTD_H its gz functions declare lseek and friends
# themselves, in a way emscripten's headers reject.
BuildZlib() {
  local prefix="$1" src
  src="$(FetchSource zlib "$(dpkg-query -W -f='${source:Version}' zlib1g-dev)")"
  (
    cd "$src"
    for c in adler32 compress crc32 deflate gzclose gzlib gzread gzwrite infback inffast inflate inftrees trees \
             uncompr zutil; do
      nice -n "$NICE" emcc -O2 -DHAVE_UNISTD_H -c "$c.c" -o "$c.o"
    done
    emar rcs libz.a ./*.o
  )
  mkdir -p "$prefix/lib" "$prefix/include"
  cp "$src/libz.a" "$prefix/lib/"
  cp "$src/zlib.h" "$src/zconf.h" "$prefix/include/"
  WritePkgConfig "$prefix/lib/pkgconfig/zlib.pc" zlib "${ZLIB_VERSION%%-*}" z
}

BuildPugixml() {
  CMakeBuild pugixml "$PUGIXML_VERSION" "$1" -DPUGIXML_BUILD_TESTS=OFF
  FixPkgConfig "$1/lib/pkgconfig/pugixml.pc" ""
}

# Note: libzip's configure cannot run a test program to size off_t and size_t here, so the sizes
# of wasm32 are given.
BuildLibzip() {
  CMakeBuild libzip "$LIBZIP_VERSION" "$1" -DSIZEOF_OFF_T=8 -DSIZEOF_SIZE_T=4 \
    -DENABLE_COMMONCRYPTO=OFF -DENABLE_GNUTLS=OFF -DENABLE_MBEDTLS=OFF -DENABLE_OPENSSL=OFF \
    -DENABLE_WINDOWS_CRYPTO=OFF -DENABLE_BZIP2=OFF -DENABLE_LZMA=OFF -DENABLE_ZSTD=OFF -DBUILD_TOOLS=OFF \
    -DBUILD_REGRESS=OFF -DBUILD_EXAMPLES=OFF -DBUILD_DOC=OFF
  FixPkgConfig "$1/lib/pkgconfig/libzip.pc" ""
}

# libdeflate's own Makefile builds the static library with emcc as with any C compiler.
BuildLibdeflate() {
  local prefix="$1" src
  src="$(FetchSource libdeflate "$LIBDEFLATE_VERSION")"
  nice -n "$NICE" make -C "$src" -j "$JOBS" CC=emcc AR=emar DISABLE_SHARED=1 libdeflate.a >"$src/build.log" 2>&1
  mkdir -p "$prefix/lib" "$prefix/include"
  cp "$src/libdeflate.a" "$prefix/lib/"
  cp "$src/libdeflate.h" "$prefix/include/"
  WritePkgConfig "$prefix/lib/pkgconfig/libdeflate.pc" libdeflate "${LIBDEFLATE_VERSION%%-*}" deflate
}

# Only ICU's common library: the break iterators, locales and strings all live there, and the
# data is linked in, so ICU's tools and data build are never run for WebAssembly.
ICU_CONFIGURE=(emconfigure)
ICU_MAKE=(emmake make)
BuildIcu() {
  local prefix="$1"
  # Note: ICU has no platform file for emscripten; Linux's suits emcc, which takes gcc's options.
  BuildIcuCommon "$prefix" --host=i686-pc-linux-gnu
  FixPkgConfig "$prefix/lib/pkgconfig/icu-uc.pc" ""
  CutIcuData "$ICU_SOURCE/data/in/icudt${ICU_MAJOR}l.dat" "$prefix/share/icudt${ICU_MAJOR}l.dat"
}

Ensure zlib BuildZlib "$ZLIB_PREFIX"
Ensure pugixml BuildPugixml "$PUGIXML_PREFIX"
Ensure libzip BuildLibzip "$LIBZIP_PREFIX"
Ensure libdeflate BuildLibdeflate "$LIBDEFLATE_PREFIX"
Ensure icu BuildIcu "$ICU_PREFIX"

cat >"$CACHE/web-prefixes.cmake.tmp" <<EOF2
# Written by scripts/install-web-deps.sh: the prefixes of the versions it pinned.
set(LEXMORA_WEB_PREFIXES "$ZLIB_PREFIX;$PUGIXML_PREFIX;$LIBZIP_PREFIX;$LIBDEFLATE_PREFIX;$ICU_PREFIX")
set(LEXMORA_ICU_DATA_FILE "$ICU_DATA_FILE")
EOF2
mv "$CACHE/web-prefixes.cmake.tmp" "$CACHE/web-prefixes.cmake"
echo "Toolchain: cmake -DCMAKE_TOOLCHAIN_FILE=$TOOLCHAIN (cache $CACHE)"
