#!/usr/bin/env bash
# Installs the Windows cross-build tools and wine from Debian's packages, and builds the libraries
# the engine needs (pugixml, libzip, libdeflate, ICU's common library) for 64-bit Windows from Debian's own
# source packages, at the versions of the installed native -dev packages, so that the native and
# the Windows builds use the same upstream code. Quick when all is present.
#
# Each library goes into ${LEXMORA_CROSS_CACHE:-~/.cache/lexmora-cross}/<name>-<version>/, a static
# install prefix (include/, lib/, lib/pkgconfig/); ICU's also holds share/icudt72l.dat, cut to what
# word breaking needs. A folder is built only when missing, in a side folder renamed at the end, so a
# half-finished build is never taken for a finished one. zlib is Debian's MinGW package.
# The cache's cross-prefixes.cmake names the prefixes for cmake/mingw-w64-x86_64.cmake.
set -euo pipefail
shopt -s inherit_errexit
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
CACHE="${LEXMORA_CROSS_CACHE:-$HOME/.cache/lexmora-cross}"
TOOLCHAIN="$ROOT/cmake/mingw-w64-x86_64.cmake"
HOST=x86_64-w64-mingw32
JOBS=2
NICE=10
# No prefixes of the cache: a library is built against the system's MinGW files alone.
CMAKE_TOOLCHAIN_ARGS=(-DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" -DLEXMORA_CROSS_PREFIXES=)
# shellcheck source=source-builds.sh
. "$ROOT/scripts/source-builds.sh"

# The native -dev packages are here for their versions; icu-devtools gives icupkg and stands in
# for the ICU tools a cross-build of ICU asks for.
PKGS=(g++-mingw-w64-x86-64-posix wine wine64 libz-mingw-w64-dev dpkg-dev cmake make pkg-config
      libpugixml-dev libzip-dev libdeflate-dev libicu-dev icu-devtools)
EnsurePackages "${PKGS[@]}"

PUGIXML_VERSION="$(SourceVersion libpugixml-dev)"
LIBZIP_VERSION="$(SourceVersion libzip-dev)"
LIBDEFLATE_VERSION="$(SourceVersion libdeflate-dev)"
ICU_VERSION="$(SourceVersion libicu-dev)"
ICU_MAJOR="${ICU_VERSION%%.*}"
echo "Pinned: pugixml $PUGIXML_VERSION, libzip $LIBZIP_VERSION, libdeflate $LIBDEFLATE_VERSION, icu $ICU_VERSION," \
     "zlib $(dpkg-query -W -f='${Version}' libz-mingw-w64-dev) (MinGW package;" \
     "native $(dpkg-query -W -f='${Version}' zlib1g-dev))"

PUGIXML_PREFIX="$CACHE/pugixml-$PUGIXML_VERSION"
LIBZIP_PREFIX="$CACHE/libzip-$LIBZIP_VERSION"
LIBDEFLATE_PREFIX="$CACHE/libdeflate-$LIBDEFLATE_VERSION"
ICU_PREFIX="$CACHE/icu-$ICU_VERSION"
ICU_DATA_FILE="$ICU_PREFIX/share/icudt${ICU_MAJOR}l.dat"

BuildPugixml() {
  CMakeBuild pugixml "$PUGIXML_VERSION" "$1" -DPUGIXML_BUILD_TESTS=OFF
  FixPkgConfig "$1/lib/pkgconfig/pugixml.pc" ""
}

BuildLibzip() {
  CMakeBuild libzip "$LIBZIP_VERSION" "$1" -DENABLE_WINDOWS_CRYPTO=ON \
    -DENABLE_COMMONCRYPTO=OFF -DENABLE_GNUTLS=OFF -DENABLE_MBEDTLS=OFF -DENABLE_OPENSSL=OFF \
    -DENABLE_BZIP2=OFF -DENABLE_LZMA=OFF -DBUILD_TOOLS=OFF -DBUILD_REGRESS=OFF \
    -DBUILD_EXAMPLES=OFF -DBUILD_DOC=OFF
  FixPkgConfig "$1/lib/pkgconfig/libzip.pc" -DZIP_STATIC
}

# libdeflate builds with its own Makefile, which knows MinGW; only the static library is made
# (named for Windows linkers there, libdeflate.a here).
BuildLibdeflate() {
  local prefix="$1" src
  src="$(FetchSource libdeflate "$LIBDEFLATE_VERSION")"
  nice -n "$NICE" make -C "$src" -j "$JOBS" CC="$HOST-gcc-posix" AR="$HOST-ar" DISABLE_SHARED=1 libdeflatestatic.lib \
    >"$src/build.log" 2>&1
  mkdir -p "$prefix/lib/pkgconfig" "$prefix/include"
  cp "$src/libdeflatestatic.lib" "$prefix/lib/libdeflate.a"
  cp "$src/libdeflate.h" "$prefix/include/"
  printf 'prefix=${pcfiledir}/../..\nName: libdeflate\nDescription: DEFLATE\nVersion: %s\nLibs: -L${prefix}/lib -ldeflate\nCflags: -I${prefix}/include\n' \
    "${LIBDEFLATE_VERSION%%-*}" >"$prefix/lib/pkgconfig/libdeflate.pc"
}

# Only ICU's common library: the break iterators, locales and strings all live there, and the
# data comes as a file, so ICU's tools and data build are never run for Windows.
ICU_CONFIGURE=()
ICU_MAKE=(make)
BuildIcu() {
  local prefix="$1"
  BuildIcuCommon "$prefix" --host="$HOST" CC="$HOST-gcc-posix" CXX="$HOST-g++-posix"
  # ICU names its static libraries with an s on Windows; the .pc file and CMake's FindICU do not.
  mv "$prefix/lib/libsicuuc.a" "$prefix/lib/libicuuc.a"
  mv "$prefix/lib/libsicudt.a" "$prefix/lib/libicudt.a"
  FixPkgConfig "$prefix/lib/pkgconfig/icu-uc.pc" -DU_STATIC_IMPLEMENTATION
  CutIcuData "$ICU_SOURCE/data/in/icudt${ICU_MAJOR}l.dat" "$prefix/share/icudt${ICU_MAJOR}l.dat"
}

Ensure pugixml BuildPugixml "$PUGIXML_PREFIX"
Ensure libzip BuildLibzip "$LIBZIP_PREFIX"
Ensure libdeflate BuildLibdeflate "$LIBDEFLATE_PREFIX"
Ensure icu BuildIcu "$ICU_PREFIX"

cat >"$CACHE/cross-prefixes.cmake.tmp" <<EOF
# Written by scripts/install-cross-deps.sh: the prefixes of the versions it pinned.
set(LEXMORA_CROSS_PREFIXES "$PUGIXML_PREFIX;$LIBZIP_PREFIX;$LIBDEFLATE_PREFIX;$ICU_PREFIX")
set(LEXMORA_ICU_DATA_FILE "$ICU_DATA_FILE")
EOF
mv "$CACHE/cross-prefixes.cmake.tmp" "$CACHE/cross-prefixes.cmake"
echo "Toolchain: cmake -DCMAKE_TOOLCHAIN_FILE=$TOOLCHAIN (cache $CACHE)"
