#!/usr/bin/env bash
# Packs the Windows command-line tool: pack-windows-cli.sh EXE ZIP.
# The zip holds the program (ICU's data is linked into it), README.txt and the licence texts of
# everything linked into it, as Debian's packages of them state them. Refuses a program that
# needs a DLL which Windows does not have.
set -euo pipefail
EXE="$1"
ZIP="$2"
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

# Each licence under the name of what it covers, from the package whose code is linked in.
LICENCES=(
  pugixml:libpugixml-dev
  libzip:libzip-dev
  libdeflate:libdeflate-dev
  ICU:libicu-dev
  zlib:libz-mingw-w64-dev
  mingw-w64-runtime:mingw-w64-x86-64-dev    # the C runtime start-up code and winpthreads
  GCC-runtime:g++-mingw-w64-x86-64-posix    # libstdc++ and libgcc, under the runtime exception
)

# The tool imports only what every Windows has; a DLL of a library would be missing there.
IMPORTS="$(x86_64-w64-mingw32-objdump -p "$EXE" | sed -n 's/^\tDLL Name: //p')"
FOREIGN="$(grep -Eiv '^(kernel32|msvcrt|advapi32|bcrypt|ole32|shell32|user32)\.dll$' <<<"$IMPORTS" || true)"
if [ -z "$IMPORTS" ] || [ -n "$FOREIGN" ]; then
  echo "$EXE imports DLLs that are not part of Windows: ${FOREIGN:-(none found at all)}" >&2
  exit 1
fi

STAGE="$(mktemp -d)"
trap 'rm -rf "$STAGE"' EXIT
NAME="$(basename "$ZIP" .zip)"
mkdir -p "$STAGE/$NAME/licences"
# The build keeps its symbols for debugging; the users' copy needs none.
x86_64-w64-mingw32-strip -o "$STAGE/$NAME/$(basename "$EXE")" "$EXE"
cp "$ROOT/cli/README-Windows.txt" "$STAGE/$NAME/README.txt"
for entry in "${LICENCES[@]}"; do
  cp "/usr/share/doc/${entry#*:}/copyright" "$STAGE/$NAME/licences/${entry%%:*}.txt"
done

mkdir -p "$(dirname "$ZIP")"
rm -f "$ZIP"
ZIP="$(cd "$(dirname "$ZIP")" && pwd)/$(basename "$ZIP")"
# -l: the texts with CR LF, as Notepad of older Windows needs them; -X: no Unix owners or times.
(cd "$STAGE" && zip -q -r -X "$ZIP" "$NAME" -x "$NAME/*.txt" "$NAME/licences/*" &&
  zip -q -r -X -l "$ZIP" "$NAME/README.txt" "$NAME/licences")
echo "$ZIP"
