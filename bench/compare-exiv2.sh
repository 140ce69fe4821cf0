#!/usr/bin/env bash
# Compares reading photo metadata with lumatag-cli and with the exiv2 command-line tool on the same
# camera-like JPEG files, in one run: time per photo and system calls per photo, for the quick pass
# (DateTimeOriginal, Orientation and the tags the built-in patterns name) and the full pass.
#
#   bench/compare-exiv2.sh [BUILD_DIR] [PHOTOS]
#
# Needs strace and exiv2 (Debian packages strace and exiv2). Each figure is per photo: the
# difference between a run over PHOTOS files and a run over one file, divided by PHOTOS - 1, so
# that starting the process does not count. Times are the best of five runs; files are in the page
# cache (every run reads them once before timing).
set -euo pipefail
build=${1:-build}
photos=${2:-400}
cli="$build/bin/lumatag-cli"
maker="$build/bin/lumatag-make-photos"
for tool in strace exiv2; do
  command -v "$tool" >/dev/null || { echo "compare-exiv2: $tool is not installed" >&2; exit 1; }
done
[ -x "$cli" ] && [ -x "$maker" ] || { echo "compare-exiv2: build $build first" >&2; exit 1; }

dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
"$maker" "$dir" "$photos"
all=("$dir"/IMG_*.JPG)
one=("${all[0]}")

quick_keys=(Exif.Photo.DateTimeOriginal Exif.Image.Orientation Exif.Image.Copyright
  Exif.Photo.PixelXDimension Exif.Photo.PixelYDimension Exif.Photo.UserComment
  Exif.Photo.ExposureTime Exif.Photo.FNumber Exif.Photo.ISOSpeedRatings)
exiv2_quick=(exiv2 -q -pt)
for k in "${quick_keys[@]}"; do exiv2_quick+=(-K "$k"); done

# The command lines, by name: NAME -> command (files are appended).
declare -A cmd=(
  [lumatag-quick]="$cli metadata --quick"
  [lumatag-full]="$cli metadata"
  [exiv2-quick]="${exiv2_quick[*]}"
  [exiv2-full]="exiv2 -q -pt"
)
order=(lumatag-quick exiv2-quick lumatag-full exiv2-full)

best_ns() {  # best of five runs of: command files...
  local best=""
  for _ in 1 2 3 4 5; do
    local t0 t1
    t0=$(date +%s%N)
    "$@" >/dev/null 2>&1 || true
    t1=$(date +%s%N)
    local t=$((t1 - t0))
    if [ -z "$best" ] || [ "$t" -lt "$best" ]; then best=$t; fi
  done
  echo "$best"
}

calls() {  # total system calls of: command files...
  strace -f -c -o "$dir/strace.out" "$@" >/dev/null 2>&1 || true
  awk '$NF == "total" { print $4 + 0 }' "$dir/strace.out"
}

calls_by_name() {  # "name count" lines of: command files...
  strace -f -c -o "$dir/strace.out" "$@" >/dev/null 2>&1 || true
  awk 'NR > 2 && $1 !~ /^-/ && $NF != "total" { print $NF, $4 }' "$dir/strace.out"
}

cat "${all[@]}" >/dev/null  # into the page cache
printf '%d camera-like JPEG files of %d bytes\n\n' "$photos" "$(stat -c %s "${one[0]}")"
printf '%-14s %12s %14s\n' "reader" "us/photo" "syscalls/photo"
declare -A us sc
for name in "${order[@]}"; do
  read -r -a c <<<"${cmd[$name]}"
  tn=$(best_ns "${c[@]}" "${all[@]}")
  t1=$(best_ns "${c[@]}" "${one[@]}")
  cn=$(calls "${c[@]}" "${all[@]}")
  c1=$(calls "${c[@]}" "${one[@]}")
  us[$name]=$(awk -v a="$tn" -v b="$t1" -v n="$photos" 'BEGIN { printf "%.1f", (a - b) / 1000 / (n - 1) }')
  sc[$name]=$(awk -v a="$cn" -v b="$c1" -v n="$photos" 'BEGIN { printf "%.2f", (a - b) / (n - 1) }')
  printf '%-14s %12s %14s\n' "$name" "${us[$name]}" "${sc[$name]}"
done
echo
for pass in quick full; do
  awk -v l="${us[lumatag-$pass]}" -v e="${us[exiv2-$pass]}" -v ls="${sc[lumatag-$pass]}" \
    -v es="${sc[exiv2-$pass]}" -v p="$pass" \
    'BEGIN { printf "%s pass: exiv2 / lumatag = %.1fx the time, %.1fx the system calls\n", p, e / l, es / ls }'
done

echo
echo "system calls per photo, lumatag quick pass, by call:"
read -r -a c <<<"${cmd[lumatag-quick]}"
join <(calls_by_name "${c[@]}" "${all[@]}" | sort) <(calls_by_name "${c[@]}" "${one[@]}" | sort) -a 1 -e 0 -o 0,1.2,2.2 |
  awk -v n="$photos" '{ d = ($2 - $3) / (n - 1); if (d >= 0.01) printf "  %-12s %.2f\n", $1, d }'
echo "system calls per photo, exiv2 quick pass, by call:"
read -r -a c <<<"${cmd[exiv2-quick]}"
join <(calls_by_name "${c[@]}" "${all[@]}" | sort) <(calls_by_name "${c[@]}" "${one[@]}" | sort) -a 1 -e 0 -o 0,1.2,2.2 |
  awk -v n="$photos" '{ d = ($2 - $3) / (n - 1); if (d >= 0.01) printf "  %-12s %.2f\n", $1, d }'
