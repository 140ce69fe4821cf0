#!/usr/bin/env bash
# Scan + classify and Rename Remaining beside the least the machine can do, in one run:
#
#   bench/scan-floor.sh [BUILD_DIR] [SMALL] [LARGE] [ROUNDS]
#
# Builds two folders of SMALL (default 10,000) and LARGE (default 100,000) generated camera JPEGs
# in a temporary folder on disk (removed at the end), then runs, alternately and ROUNDS times
# (default 5), the floor programs and lumatag-cli:
#   floor_scan DIR           lists the folder, opens, reads 4 KiB from and closes each file
#   lumatag-cli scan DIR     scan + classify, the photo list printed
#   floor_rename DIR         the scan floor, then one renameat2 per file
#   lumatag-cli rename-remaining DIR --pattern-name 'Hash sign & 3 digits' --base Bench --yes
# Renames work on a fresh hard-linked copy of the folder each round (same files, same cached
# pages). Each figure is the best of the rounds for a whole process (start-up included), page
# cache warm: CPU time (user + system, what the machine did for the command, steady on a shared
# machine) and elapsed time. Ratios are CPU time to the floor's CPU time ("ratio") and elapsed
# time to the floor's elapsed time ("wall r."). lumatag-cli reads photos on one thread per
# processor (at most four), the floor on one: CPU time is the work of all threads, elapsed time
# what a person waits. Memory per photo is the
# difference of the scan's largest resident set between the two folders divided by the difference
# of their photo counts. The cold figure drops every file's cached pages (posix_fadvise
# POSIX_FADV_DONTNEED) before each run, SMALL folder only, and compares elapsed times.
# lumatag-cli runs with a throw-away settings folder (XDG_CONFIG_HOME, XDG_DATA_HOME). With
# BASELINE_CLI set to another lumatag-cli, that one runs alternately too and gets rows of its own
# ("baseline"), so that two builds are compared in one run on the same folders.
set -euo pipefail
build=${1:-build}
small=${2:-10000}
large=${3:-100000}
rounds=${4:-5}
cli="$build/bin/lumatag-cli"
baseline=${BASELINE_CLI:-}
bench="$build/bench"
for tool in "$cli" "$bench/floor_scan" "$bench/floor_rename" "$bench/photo_folder" "$bench/measure"; do
  [ -x "$tool" ] || { echo "scan-floor: $tool is missing (build lumatag-cli and bench/)" >&2; exit 1; }
done

work=$(mktemp -d "${TMPDIR:-/var/tmp}/lumatag-scan-floor.XXXXXX")
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data"
pattern='Hash sign & 3 digits'

fresh_settings() {
  rm -rf "$XDG_CONFIG_HOME" "$XDG_DATA_HOME"
  mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME"
}

# run NAME COMMAND...: runs once; keeps the best elapsed and CPU times (ns) and the largest
# resident set (KiB) under NAME.
declare -A wall cpu rss
run() {
  local name=$1
  shift
  "$bench/measure" "$work/result" "$@" 2>"$work/stderr" ||
    { echo "scan-floor: $* failed:" >&2; cat "$work/stderr" >&2; exit 1; }
  local w c m code
  read -r w c m code <"$work/result"
  if [ -z "${wall[$name]:-}" ] || [ "$w" -lt "${wall[$name]}" ]; then wall[$name]=$w; fi
  if [ -z "${cpu[$name]:-}" ] || [ "$c" -lt "${cpu[$name]}" ]; then cpu[$name]=$c; fi
  if [ -z "${rss[$name]:-}" ] || [ "$m" -gt "${rss[$name]}" ]; then rss[$name]=$m; fi
}

clone() {
  rm -rf "$work/r"
  cp -al "$1" "$work/r"
}

mkdir -p "$work/empty"
for n in "$small" "$large"; do
  mkdir -p "$work/p$n"
  "$bench/photo_folder" make "$work/p$n" "$n"
  find "$work/p$n" -type f -exec cat {} + >/dev/null
done

# The lumatag-cli builds that run: KIND=PATH.
builds=("lumatag=$cli")
[ -n "$baseline" ] && builds=("baseline=$baseline" "${builds[@]}")
for _ in $(seq "$rounds"); do
  for b in "${builds[@]}"; do
    fresh_settings
    run "${b%%=*} start" "${b#*=}" scan "$work/empty"
  done
  for n in "$small" "$large"; do
    run "floor_scan $n" "$bench/floor_scan" "$work/p$n"
    for b in "${builds[@]}"; do
      fresh_settings
      run "${b%%=*} scan $n" "${b#*=}" scan "$work/p$n"
    done
    clone "$work/p$n"
    run "floor_rename $n" "$bench/floor_rename" "$work/r"
    for b in "${builds[@]}"; do
      clone "$work/p$n"
      fresh_settings
      run "${b%%=*} rename $n" "${b#*=}" rename-remaining "$work/r" --pattern-name "$pattern" \
        --base Bench --yes
    done
  done
done
rm -rf "$work/r"

cold_rounds=$((rounds < 3 ? rounds : 3))
for _ in $(seq "$cold_rounds"); do
  "$bench/photo_folder" drop "$work/p$small"
  run "cold floor_scan" "$bench/floor_scan" "$work/p$small"
  for b in "${builds[@]}"; do
    "$bench/photo_folder" drop "$work/p$small"
    fresh_settings
    run "${b%%=*} cold scan" "${b#*=}" scan "$work/p$small"
  done
done

ms() { awk -v t="$1" 'BEGIN { printf "%.1f", t / 1e6 }'; }
per() { awk -v t="$1" -v n="$2" 'BEGIN { printf "%.2f", t / 1e3 / n }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
row() {  # LABEL NAME PHOTOS [FLOOR_NAME]
  local r="" rw=""
  if [ -n "${4:-}" ]; then
    r=$(ratio "${cpu[$2]}" "${cpu[$4]}")
    rw=$(ratio "${wall[$2]}" "${wall[$4]}")
  fi
  printf '%-30s %7s %9s %9s %9s %7s %7s\n' "$1" "$3" "$(ms "${cpu[$2]}")" "$(per "${cpu[$2]}" "$3")" \
    "$(ms "${wall[$2]}")" "$r" "$rw"
}

printf 'photos: %s and %s generated camera JPEGs of %s bytes; best of %s rounds, warm cache\n' \
  "$small" "$large" "$(stat -c %s "$work/p$small/IMG_0001.JPG")" "$rounds"
for b in "${builds[@]}"; do
  k=${b%%=*}
  echo
  printf '== %s: %s\n' "$k" "${b#*=}"
  printf 'start-up (scan of an empty folder): CPU %s ms, elapsed %s ms, max RSS %s KiB\n\n' \
    "$(ms "${cpu[$k start]}")" "$(ms "${wall[$k start]}")" "${rss[$k start]}"
  printf '%-30s %7s %9s %9s %9s %7s %7s\n' "run" "photos" "cpu ms" "cpu us/ph" "wall ms" "ratio" \
    "wall r."
  for n in "$small" "$large"; do
    row "floor_scan" "floor_scan $n" "$n"
    row "lumatag-cli scan" "$k scan $n" "$n" "floor_scan $n"
    row "floor_rename (scan + rename)" "floor_rename $n" "$n"
    row "lumatag-cli rename-remaining" "$k rename $n" "$n" "floor_rename $n"
  done
  echo
  printf 'scan %s / %s CPU time: %s (floor: %s)\n' "$large" "$small" \
    "$(ratio "${cpu[$k scan $large]}" "${cpu[$k scan $small]}")" \
    "$(ratio "${cpu[floor_scan $large]}" "${cpu[floor_scan $small]}")"
  printf 'scan memory: max RSS %s KiB at %s, %s KiB at %s: %s KiB per photo\n' \
    "${rss[$k scan $small]}" "$small" "${rss[$k scan $large]}" "$large" \
    "$(awk -v a="${rss[$k scan $large]}" -v b="${rss[$k scan $small]}" -v n="$large" -v m="$small" \
      'BEGIN { printf "%.2f", (a - b) / (n - m) }')"
  printf 'rename-remaining memory: max RSS %s KiB at %s, %s KiB at %s\n' \
    "${rss[$k rename $small]}" "$small" "${rss[$k rename $large]}" "$large"
  printf 'cold cache, %s photos (pages dropped before each run, best of %s):\n' "$small" "$cold_rounds"
  printf '  floor_scan elapsed %s ms (CPU %s), lumatag-cli scan elapsed %s ms (CPU %s): ratio %s\n' \
    "$(ms "${wall[cold floor_scan]}")" "$(ms "${cpu[cold floor_scan]}")" \
    "$(ms "${wall[$k cold scan]}")" "$(ms "${cpu[$k cold scan]}")" \
    "$(ratio "${wall[$k cold scan]}" "${wall[cold floor_scan]}")"
done
