# Helpers shared by the scripts that build the engine's libraries from Debian's own source packages
# (install-cross-deps.sh, install-qt-cross.sh, install-web-deps.sh). The caller sets CACHE (the
# cache folder), JOBS and NICE (how builds share the machine) and CMAKE_TOOLCHAIN_ARGS (how CMake
# builds for the target).

# Package installs and apt's sources need root.
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"

# Installs those of the packages named that are missing, from Debian's archive.
EnsurePackages() {
  local missing=() p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# The source version of the package a native -dev package was built from, without an epoch.
SourceVersion() {
  local v
  v="$(dpkg-query -W -f='${source:Version}' "$1")"
  echo "${v#*:}"
}

# Adds deb-src entries matching the deb ones when apt knows no source index yet.
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
  cmake -Wno-dev -S "$src" -B "$src/build" "${CMAKE_TOOLCHAIN_ARGS[@]}" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DCMAKE_INSTALL_LIBDIR=lib -DBUILD_SHARED_LIBS=OFF "$@" >"$src/configure.log" 2>&1
  nice -n "$NICE" cmake --build "$src/build" -j "$JOBS" >"$src/build.log" 2>&1
  cmake --install "$src/build" >/dev/null
}

# Builds ICU's common library and its empty stub data library from source package icu at
# ICU_VERSION into prefix $1, configured with the options given after it, and sets ICU_SOURCE to
# its source folder. ICU_CONFIGURE and ICU_MAKE are the commands that run configure and make (a
# wrapper of the target's compilers may come first).
BuildIcuCommon() {
  local prefix="$1" src host
  shift
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
    "${ICU_CONFIGURE[@]}" "$src/configure" --with-cross-build="$host" --prefix="$prefix" \
      --enable-static --disable-shared --disable-tools --disable-tests --disable-samples \
      --disable-extras --disable-icuio --disable-layoutex --disable-dyload \
      --with-data-packaging=archive "$@" >configure.log 2>&1
    for dir in stubdata common; do
      nice -n "$NICE" "${ICU_MAKE[@]}" -j "$JOBS" -C "$dir" >"$dir.log" 2>&1
      make -C "$dir" install >>"$dir.log" 2>&1
    done
    make config/icu-uc.pc >/dev/null
    mkdir -p "$prefix/lib/pkgconfig"
    cp config/icu-uc.pc "$prefix/lib/pkgconfig/"
  )
  ICU_SOURCE="$src"
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

