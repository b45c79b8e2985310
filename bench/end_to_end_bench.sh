#!/usr/bin/env bash
# End-to-end benchmark: lexmora-compare on a generated 50,000-segment SDLXLIFF pair, next to the
# cost of merely parsing the same two files with libxml2 (xmllint --noout).
# Usage: bench/end_to_end_bench.sh [BUILD_DIR] [SEGMENTS]
set -euo pipefail
HERE="$(cd "$(dirname "$0")" && pwd)"
BUILD="${1:-$HERE/../build}"
SEGMENTS="${2:-50000}"
BIN="$BUILD/cli/lexmora-compare"
[ -x "$BIN" ] || { echo "build lexmora-compare first ($BIN missing)" >&2; exit 1; }
WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT

mapfile -t PAIR < <(python3 "$HERE/make_sdlxliff_pair.py" "$WORK" "$SEGMENTS")
ls -l "${PAIR[@]}" | awk '{print $5, $9}'

measure() {  # label, command...
  local label="$1"; shift
  /usr/bin/time -v "$@" > /dev/null 2> "$WORK/time.txt" || true
  local wall rss
  wall=$(grep 'Elapsed (wall clock)' "$WORK/time.txt" | awk '{print $NF}')
  rss=$(grep 'Maximum resident set size' "$WORK/time.txt" | awk '{print $NF}')
  printf '%-40s wall %-10s peak RSS %6d MiB\n' "$label" "$wall" $((rss / 1024))
}

measure "xmllint --noout (both files)" xmllint --noout "${PAIR[0]}" "${PAIR[1]}"
measure "lexmora-compare html ($SEGMENTS segments)" "$BIN" -q -s "${PAIR[0]}" -e "${PAIR[1]}" -o "$WORK/out" --temp-dir "$WORK"
measure "lexmora-compare html, identical shown" "$BIN" -q -s "${PAIR[0]}" -e "${PAIR[1]}" -o "$WORK/out" --temp-dir "$WORK" --show-identical --tags full
measure "lexmora-compare xlsx" "$BIN" -q -s "${PAIR[0]}" -e "${PAIR[1]}" -o "$WORK/out" --temp-dir "$WORK" -f xlsx
ls -l "$WORK/out" | awk 'NR>1 {print $5, $9}'
