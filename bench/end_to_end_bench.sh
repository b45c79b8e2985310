#!/usr/bin/env bash
# End-to-end benchmark: lexmora-compare on a generated SDLXLIFF pair (50,000 segments by default)
# and on one twice that size, next to the cost of merely parsing the same two files with libxml2
# (xmllint --noout). Every figure is the median of RUNS runs (3 by default), the commands taken in
# turn so that a drift of the machine's speed touches them alike; the ratios the speed goals are
# stated in are printed at the end, with the machine's load.
# Usage: bench/end_to_end_bench.sh [BUILD_DIR] [SEGMENTS] [RUNS]
set -euo pipefail
HERE="$(cd "$(dirname "$0")" && pwd)"
BUILD="${1:-$HERE/../build}"
SEGMENTS="${2:-50000}"
RUNS="${3:-3}"
BIN="$BUILD/cli/lexmora-compare"
[ -x "$BIN" ] || { echo "build lexmora-compare first ($BIN missing)" >&2; exit 1; }
command -v xmllint > /dev/null || { echo "xmllint is missing (libxml2-utils)" >&2; exit 1; }
WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT

mapfile -t PAIR < <(python3 "$HERE/make_sdlxliff_pair.py" "$WORK/n" "$SEGMENTS")
mapfile -t PAIR2 < <(python3 "$HERE/make_sdlxliff_pair.py" "$WORK/n2" $((SEGMENTS * 2)))
INPUT_BYTES=$(($(stat -c %s "${PAIR[0]}") + $(stat -c %s "${PAIR[1]}")))
ls -l "${PAIR[@]}" "${PAIR2[@]}" | awk '{print $5, $9}'
echo "load before: $(uptime)"

declare -A LABEL
KEYS=(xmllint html identical xlsx xmllint2 html2)
LABEL[xmllint]="xmllint --noout (both files)"
LABEL[html]="html"
LABEL[identical]="html, identical shown, full tags"
LABEL[xlsx]="xlsx"
LABEL[xmllint2]="xmllint --noout, twice the segments"
LABEL[html2]="html, twice the segments"

run_one() {  # key -> appends "wall cpu peakKiB" to $WORK/<key>.txt
  local key="$1" t="$WORK/time.txt"
  case "$key" in
    xmllint) /usr/bin/time -f '%e %U %S %M' -o "$t" xmllint --noout "${PAIR[0]}" "${PAIR[1]}" ;;
    xmllint2) /usr/bin/time -f '%e %U %S %M' -o "$t" xmllint --noout "${PAIR2[0]}" "${PAIR2[1]}" ;;
    html) /usr/bin/time -f '%e %U %S %M' -o "$t" "$BIN" -q -s "${PAIR[0]}" -e "${PAIR[1]}" -o "$WORK/o1" --temp-dir "$WORK" > /dev/null 2>&1 ;;
    identical) /usr/bin/time -f '%e %U %S %M' -o "$t" "$BIN" -q -s "${PAIR[0]}" -e "${PAIR[1]}" -o "$WORK/o2" --temp-dir "$WORK" --show-identical --tags full > /dev/null 2>&1 ;;
    xlsx) /usr/bin/time -f '%e %U %S %M' -o "$t" "$BIN" -q -s "${PAIR[0]}" -e "${PAIR[1]}" -o "$WORK/o3" --temp-dir "$WORK" -f xlsx > /dev/null 2>&1 ;;
    html2) /usr/bin/time -f '%e %U %S %M' -o "$t" "$BIN" -q -s "${PAIR2[0]}" -e "${PAIR2[1]}" -o "$WORK/o4" --temp-dir "$WORK" > /dev/null 2>&1 ;;
  esac
  awk '{printf "%s %.3f %s\n", $1, $2 + $3, $4}' "$t" >> "$WORK/$key.txt"
  # The workbook's size, to weigh a change of its deflating against the time it saves.
  if [ "$key" = xlsx ]; then stat -c %s "$WORK"/o3/*.xlsx > "$WORK/xlsx_bytes"; fi
  rm -rf "$WORK"/o[1-4]
}

for key in "${KEYS[@]}"; do run_one "$key"; : > "$WORK/$key.txt"; done  # warm-up, not counted
for _ in $(seq "$RUNS"); do
  for key in "${KEYS[@]}"; do run_one "$key"; done
done

median() {  # key, column (1 wall, 2 cpu, 3 peak KiB)
  awk -v c="$2" '{print $c}' "$WORK/$1.txt" | sort -g | awk '{v[NR]=$1} END {print (NR % 2) ? v[(NR+1)/2] : (v[NR/2] + v[NR/2+1]) / 2}'
}
declare -A WALL CPU PEAK
printf '%-40s %8s %8s %9s   (medians of %d runs)\n' "" "wall s" "cpu s" "peak MiB" "$RUNS"
for key in "${KEYS[@]}"; do
  WALL[$key]=$(median "$key" 1); CPU[$key]=$(median "$key" 2); PEAK[$key]=$(median "$key" 3)
  printf '%-40s %8.3f %8.3f %9.1f\n' "${LABEL[$key]}" "${WALL[$key]}" "${CPU[$key]}" "$(echo "${PEAK[$key]} / 1024" | bc -l)"
done

ratio() { echo "$1 / $2" | bc -l; }
printf '\nratios (goal in brackets)\n'
printf '  cpu  html / xmllint                 %6.2f  (<= 1.0)\n' "$(ratio "${CPU[html]}" "${CPU[xmllint]}")"
printf '  wall html / xmllint                 %6.2f  (<= 0.6)\n' "$(ratio "${WALL[html]}" "${WALL[xmllint]}")"
printf '  peak html / size of the two inputs  %6.2f  (<= 3.0)\n' "$(ratio "${PEAK[html]} * 1024" "$INPUT_BYTES")"
printf '  cpu  html twice the segments / once %6.2f  (<= 2.1)\n' "$(ratio "${CPU[html2]}" "${CPU[html]}")"
printf '  wall html twice the segments / once %6.2f  (<= 2.1)\n' "$(ratio "${WALL[html2]}" "${WALL[html]}")"
printf '  cpu  xlsx / html                    %6.2f  (<= 1.3)\n' "$(ratio "${CPU[xlsx]}" "${CPU[html]}")"
printf '  wall xlsx / html                    %6.2f  (<= 1.3)\n' "$(ratio "${WALL[xlsx]}" "${WALL[html]}")"
printf '\nxlsx archive: %s bytes\n' "$(cat "$WORK/xlsx_bytes")"
echo "load after: $(uptime)"
