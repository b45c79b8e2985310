#!/usr/bin/env bash
# Packs the Windows desktop program: pack-windows.sh BUILD_DIR QT_PREFIX VERSION DIST_DIR
# Makes DIST_DIR/Lexmora-VERSION-win64.zip (LexmoraCT.exe, lexmora-compare.exe, the Qt and MinGW
# runtime DLLs and the Qt plugins they load, the licences) and DIST_DIR/Lexmora-VERSION-win64-setup.exe,
# the per-user installer of the same files. Refuses a set whose programs or DLLs import a DLL that
# is neither in the set nor part of Windows, or that holds a DLL nothing loads.
set -euo pipefail
BUILD="$(realpath "$1")"
QT="$(realpath "$2")"
VERSION="$3"
DIST="$(mkdir -p "$4" && realpath "$4")"
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
HOST=x86_64-w64-mingw32
GCC_DLLS="$(dirname "$($HOST-g++-posix -print-file-name=libstdc++-6.dll)")"

NAME="Lexmora-$VERSION-win64"
STAGE="$(mktemp -d)"
trap 'rm -rf "$STAGE"' EXIT
APP="$STAGE/$NAME"
mkdir -p "$APP/platforms" "$APP/styles" "$APP/tls" "$APP/licences"

# The build keeps its symbols for debugging; the users' copy needs none.
$HOST-strip -o "$APP/LexmoraCT.exe" "$BUILD/desktop/LexmoraCT.exe"
$HOST-strip -o "$APP/lexmora-compare.exe" "$BUILD/cli/lexmora-compare.exe"
for dll in Qt6Core Qt6Gui Qt6Widgets Qt6Network; do $HOST-strip -o "$APP/$dll.dll" "$QT/bin/$dll.dll"; done
# Qt looks for its plugins in these folders beside the program.
$HOST-strip -o "$APP/platforms/qwindows.dll" "$QT/plugins/platforms/qwindows.dll"
$HOST-strip -o "$APP/styles/qwindowsvistastyle.dll" "$QT/plugins/styles/qwindowsvistastyle.dll"
$HOST-strip -o "$APP/tls/qschannelbackend.dll" "$QT/plugins/tls/qschannelbackend.dll"
cp "$GCC_DLLS/libstdc++-6.dll" "$GCC_DLLS/libgcc_s_seh-1.dll" "/usr/$HOST/lib/libwinpthread-1.dll" "$APP/"

# Each licence under the name of what it covers, from the Debian package whose code is shipped.
for entry in Qt:qt6-base-dev pugixml:libpugixml-dev libzip:libzip-dev libdeflate:libdeflate-dev ICU:libicu-dev \
             zlib:libz-mingw-w64-dev mingw-w64-runtime:mingw-w64-x86-64-dev GCC-runtime:g++-mingw-w64-x86-64-posix; do
  cp "/usr/share/doc/${entry#*:}/copyright" "$APP/licences/${entry%%:*}.txt"
done
cp "$ROOT/packaging/windows/README.txt" "$APP/README.txt"

# What Windows itself provides; anything else a program or DLL imports must be in the set.
SYSTEM='^(kernel32|user32|gdi32|advapi32|shell32|ole32|oleaut32|comdlg32|ws2_32|msvcrt|bcrypt|crypt32|secur32|ncrypt|dwmapi|uxtheme|winhttp|rpcrt4|imm32|winmm|version|setupapi|d3d9|d3d11|d3d12|dxgi|dwrite|d2d1|shcore|shlwapi|netapi32|iphlpapi|dnsapi|userenv|wtsapi32|authz|mpr|winspool\.drv|api-ms-win-.*)(\.dll)?$'
mapfile -t BINARIES < <(find "$APP" -iname '*.exe' -o -iname '*.dll')
declare -A IMPORTED=()
for bin in "${BINARIES[@]}"; do
  while read -r dll; do
    lower="${dll,,}"
    IMPORTED[$lower]=1
    grep -Eq "$SYSTEM" <<<"$lower" && continue
    [ -n "$(find "$APP" -maxdepth 1 -iname "$dll")" ] && continue
    echo "$(basename "$bin") imports $dll, which is neither shipped nor part of Windows" >&2
    exit 1
  done < <($HOST-objdump -p "$bin" | sed -n 's/^\tDLL Name: //p')
done
for dll in "$APP"/*.dll; do
  [ -n "${IMPORTED[$(basename "${dll,,}")]:-}" ] || { echo "$(basename "$dll") is shipped but nothing loads it" >&2; exit 1; }
done

ZIP="$DIST/$NAME.zip"
rm -f "$ZIP"
# -l: the texts with CR LF, as Notepad of older Windows needs them; -X: no Unix owners or times.
(cd "$STAGE" && zip -q -r -X "$ZIP" "$NAME" -x "$NAME/*.txt" "$NAME/licences/*" &&
  zip -q -r -X -l "$ZIP" "$NAME/README.txt" "$NAME/licences")
echo "$ZIP"

# The installer: exactly these files, and an uninstaller that removes exactly these.
(
  cd "$APP"
  find . -type d ! -name . | sed 's|^\./||' | sort | while read -r d; do echo "CreateDirectory \"\$INSTDIR\\${d//\//\\}\""; done
  find . -type f | sed 's|^\./||' | sort | while read -r f; do
    echo "SetOutPath \"\$INSTDIR\\$(dirname "$f" | sed 's|^\.$||; s|/|\\|g')\""
    echo "File \"/oname=$(basename "$f")\" \"$APP/$f\""
  done
  echo "SetOutPath \"\$INSTDIR\""
) >"$STAGE/files.nsh"
(
  cd "$APP"
  find . -type f | sed 's|^\./||' | sort | while read -r f; do echo "Delete \"\$INSTDIR\\${f//\//\\}\""; done
  find . -type d ! -name . | sed 's|^\./||' | sort -r | while read -r d; do echo "RMDir \"\$INSTDIR\\${d//\//\\}\""; done
) >"$STAGE/unfiles.nsh"
SETUP="$DIST/$NAME-setup.exe"
makensis -V2 -INPUTCHARSET UTF8 "-DVERSION=$VERSION" "-DSTAGE=$STAGE" "-DICON=$ROOT/shell/resources/lexmora-ct.ico" \
  "-DFILES=$STAGE/files.nsh" "-DUNFILES=$STAGE/unfiles.nsh" "-DOUTFILE=$SETUP" \
  "-DSIZE_KB=$(du -sk "$APP" | cut -f1)" "$ROOT/packaging/windows/lexmora.nsi"
echo "$SETUP"
