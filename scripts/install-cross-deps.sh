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
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"

# The native -dev packages are here for their versions; icu-devtools gives icupkg and stands in
# for the ICU tools a cross-build of ICU asks for.
PKGS=(g++-mingw-w64-x86-64-posix wine wine64 libz-mingw-w64-dev dpkg-dev cmake make pkg-config
      libpugixml-dev libzip-dev libdeflate-dev libicu-dev icu-devtools)
missing=()
for p in "${PKGS[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The source version of the package a native -dev package was built from, without an epoch.
SourceVersion() {
  local v
  v="$(dpkg-query -W -f='${source:Version}' "$1")"
  echo "${v#*:}"
}
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

EnsureDebSrc() {
  apt-get indextargets --format '$(CREATED_BY)' | grep -qx Sources && return 0
  echo "Adding deb-src entries for Debian's source packages"
  if [ -f /etc/apt/sources.list.d/debian.sources ]; then
    sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources |
      $SUDO tee /etc/apt/sources.list.d/lexmora-deb-src.sources >/dev/null
  else
    grep -h '^deb ' /etc/apt/sources.list | sed 's/^deb /deb-src /' |
      $SUDO tee /etc/apt/sources.list.d/lexmora-deb-src.list >/dev/null
  fi
  $SUDO apt-get update -qq
}

# Unpacks source package $1 at version $2 into the current folder and prints its folder.
FetchSource() {
  # Note: a version missing from the source index (an upgrade of the native package pending)
  # fails here rather than silently building another one.
  apt-get source -qq --only-source "$1=$2" >/dev/null 2>fetch.log || { cat fetch.log >&2; return 1; }
  find . -maxdepth 1 -mindepth 1 -type d -name "$1-*"
}

# Static-only prefixes: what a static link needs goes into Libs, since CMake's pkg_check_modules
# reads no Libs.private; $2 is a define the headers need to drop dllimport. Paths follow the file,
# so the prefix can be renamed after the build.
FixPkgConfig() {
  local prefix private
  prefix="$(cd "$(dirname "$1")/../.." && pwd)"
  sed -i -e "s|$prefix|\${pcfiledir}/../..|g" -e "s|^Cflags: \\(.*\\)|Cflags: \\1 $2|" "$1"
  private="$(sed -n 's/^Libs.private: *//p' "$1")"
  sed -i -e '/^Libs.private:/d' -e "s|^\\(Libs: .*\\)|\\1 $private|" "$1"
}

# Builds source package $1 at version $2 with CMake into prefix $3; the rest are its options.
CMakeBuild() {
  local src prefix="$3"
  src="$(FetchSource "$1" "$2")"
  shift 3
  # No prefixes of the cache: a library is built against the system's MinGW files alone.
  cmake -Wno-dev -S "$src" -B "$src/build-windows" -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" \
    -DLEXMORA_CROSS_PREFIXES= -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DCMAKE_INSTALL_LIBDIR=lib -DBUILD_SHARED_LIBS=OFF "$@" >"$src/configure.log" 2>&1
  nice -n 10 cmake --build "$src/build-windows" -j "$JOBS" >"$src/build.log" 2>&1
  cmake --install "$src/build-windows" >/dev/null
}

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
  nice -n 10 make -C "$src" -j "$JOBS" CC="$HOST-gcc-posix" AR="$HOST-ar" DISABLE_SHARED=1 libdeflatestatic.lib \
    >"$src/build.log" 2>&1
  mkdir -p "$prefix/lib/pkgconfig" "$prefix/include"
  cp "$src/libdeflatestatic.lib" "$prefix/lib/libdeflate.a"
  cp "$src/libdeflate.h" "$prefix/include/"
  printf 'prefix=${pcfiledir}/../..\nName: libdeflate\nDescription: DEFLATE\nVersion: %s\nLibs: -L${prefix}/lib -ldeflate\nCflags: -I${prefix}/include\n' \
    "${LIBDEFLATE_VERSION%%-*}" >"$prefix/lib/pkgconfig/libdeflate.pc"
}

# Only ICU's common library: the break iterators, locales and strings all live there, and the
# data comes as a file, so ICU's tools and data build are never run for Windows.
BuildIcu() {
  local prefix="$1" src host
  src="$(FetchSource icu "$ICU_VERSION")"
  src="$(cd "$src/source" && pwd)"
  # ICU's configure insists on a native build for its tools; Debian's stand in for them.
  host="$PWD/native-tools"
  mkdir -p "$host/config"
  printf 'CROSS_ICU_VERSION=%s\nTOOLEXEEXT=\nTOOLBINDIR=/usr/bin\nTOOLLIBDIR=/usr/lib\nINVOKE=\nPKGDATA_INVOKE=\n' \
    "${ICU_VERSION%%-*}" >"$host/config/icucross.mk"
  echo 'CURR_FULL_DIR?=$(shell pwd)' >"$host/config/icucross.inc"
  mkdir -p build/lib build/bin
  (
    cd build
    "$src/configure" --host="$HOST" --with-cross-build="$host" --prefix="$prefix" \
      --enable-static --disable-shared --disable-tools --disable-tests --disable-samples \
      --disable-extras --disable-icuio --disable-layoutex --disable-dyload \
      --with-data-packaging=archive CC="$HOST-gcc-posix" CXX="$HOST-g++-posix" >configure.log 2>&1
    for dir in stubdata common; do
      nice -n 10 make -j "$JOBS" -C "$dir" >"$dir.log" 2>&1
      make -C "$dir" install >>"$dir.log" 2>&1
    done
    make config/icu-uc.pc >/dev/null
    mkdir -p "$prefix/lib/pkgconfig"
    cp config/icu-uc.pc "$prefix/lib/pkgconfig/"
  )
  # ICU names its static libraries with an s on Windows; the .pc file and CMake's FindICU do not.
  mv "$prefix/lib/libsicuuc.a" "$prefix/lib/libicuuc.a"
  mv "$prefix/lib/libsicudt.a" "$prefix/lib/libicudt.a"
  FixPkgConfig "$prefix/lib/pkgconfig/icu-uc.pc" -DU_STATIC_IMPLEMENTATION
  CutIcuData "$src/data/in/icudt${ICU_MAJOR}l.dat" "$prefix/share/icudt${ICU_MAJOR}l.dat"
}

# Keeps what the word-break iterators load: their rules and dictionaries, the normalisation data
# the dictionaries need (nfkc for Japanese) and the resource tables locale fallback walks.
CutIcuData() {
  mkdir -p "$(dirname "$2")" cut
  icupkg -l "$1" | grep -Ev '^(brkitr/.*|[^/]*\.nrm|root\.res|pool\.res|res_index\.res|likelySubtags\.res|metadata\.res)$' \
    >cut/remove.txt
  icupkg -r cut/remove.txt "$1" "$2"
}

# Builds $1 with function $2 into prefix $3 unless the prefix exists.
Ensure() {
  local name="$1" build="$2" prefix="$3"
  if [ -d "$prefix" ]; then
    echo "$name: cached in $prefix"
    return 0
  fi
  EnsureDebSrc
  mkdir -p "$CACHE"
  local work
  work="$(mktemp -d "$CACHE/.work-$name-XXXXXX")"
  echo "$name: building into $prefix"
  local start=$SECONDS
  # Not under ||, which would switch errexit off inside the build.
  local status=0
  set +e
  (
    set -e
    cd "$work"
    "$build" "$work/prefix"
  )
  status=$?
  set -e
  if [ $status -ne 0 ]; then
    echo "$name: build failed; logs kept in $work" >&2
    return 1
  fi
  # The cache's paths are final only after the rename: the .pc files name none of them.
  mv "$work/prefix" "$prefix"
  rm -rf "$work"
  echo "$name: built in $((SECONDS - start)) s"
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
