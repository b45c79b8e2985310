#!/usr/bin/env bash
# Checks the Debian package as a user would meet it: check-deb.sh PACKAGE.deb
# lintian finds no error, the AppStream metadata validates, dpkg installs it, both programs and the
# menu entry are in place and the tool runs, and removing it leaves none of its files behind.
set -euo pipefail
DEB="$(realpath "$1")"
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
NAME="$(dpkg-deb -f "$DEB" Package)"
VERSION="$(dpkg-deb -f "$DEB" Version)"
fail() { echo "check-deb: $*" >&2; exit 1; }

echo "lintian $(basename "$DEB")"
lintian --fail-on error --tag-display-limit 0 "$DEB" || fail "lintian reports errors"

FILES="$(dpkg-deb -c "$DEB" | awk '{print $6}' | sed 's|^\./|/|')"
for f in /usr/bin/LexmoraCT /usr/bin/lexmora-compare /usr/share/applications/lexmora-ct.desktop \
         /usr/share/icons/hicolor/scalable/apps/lexmora-ct.svg /usr/share/doc/lexmora/copyright; do
  grep -qx "$f" <<<"$FILES" || fail "$f is not in the package"
done
METAINFO="$(grep -E '^/usr/share/metainfo/.*\.metainfo\.xml$' <<<"$FILES")" || fail "no AppStream metadata"
STAGE="$(mktemp -d)"
trap 'rm -rf "$STAGE"; dpkg-query -W "$NAME" >/dev/null 2>&1 && $SUDO dpkg -r "$NAME" >/dev/null' EXIT
dpkg-deb -x "$DEB" "$STAGE"
appstreamcli validate --no-net "$STAGE$METAINFO" || fail "the AppStream metadata does not validate"
desktop-file-validate "$STAGE/usr/share/applications/lexmora-ct.desktop" || fail "the menu entry does not validate"

if dpkg-query -W -f='${Status}' "$NAME" 2>/dev/null | grep -q "install ok installed"; then
  fail "$NAME is installed already; remove it first (dpkg -r $NAME)"
fi
$SUDO dpkg -i "$DEB"
[ "$(lexmora-compare --version)" = "lexmora-compare $VERSION" ] || fail "lexmora-compare --version: $(lexmora-compare --version)"
[ -x /usr/bin/LexmoraCT ] || fail "LexmoraCT is not installed"
grep -qx "Exec=LexmoraCT" /usr/share/applications/lexmora-ct.desktop || fail "the menu entry does not start LexmoraCT"
# The installed tool compares the examples, its folders being the user's (not the read-only prefix).
OUT="$STAGE/out"
lexmora-compare -q -s "$(dirname "$0")/../examples/before" -e "$(dirname "$0")/../examples/after" -o "$OUT" >/dev/null
[ "$(find "$OUT" -name '*.html' | wc -l)" -ge 1 ] || fail "the installed tool wrote no report"

$SUDO dpkg -r "$NAME"
LEFT="$(while read -r f; do [ ! -f "$f" ] || echo "$f"; done <<<"$FILES")"
[ -z "$LEFT" ] || fail "left behind after removal: $LEFT"
echo "check-deb: $(basename "$DEB") ($NAME $VERSION) installs, runs and removes cleanly"
