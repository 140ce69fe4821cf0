#!/usr/bin/env bash
# Checks the user guide of a build tree: every row of the guide's example table gives, through
# lumatag-cli on the sample photo of the pattern dialogs, exactly the names the guide prints; and
# the PDF beside the program holds the pages and pictures it was made from.
#
# Usage: check_guide.sh BUILD_DIR GUIDE.md
set -euo pipefail
build="$1"
guide="$2"
cli="$build/bin/lumatag-cli"
pdf="$build/bin/Lumatag User Guide.pdf"
fail() { echo "FAIL: $*" >&2; exit 1; }

scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
export XDG_CONFIG_HOME="$scratch/config" XDG_DATA_HOME="$scratch/data" XDG_STATE_HOME="$scratch/state"
unset LC_ALL LC_MESSAGES LC_TIME LANGUAGE
export LANG=C.UTF-8

# Example rows are three code spans: | `PATTERN` | `FIRST` | `SECOND` |. No other table of the
# guide has rows of that shape.
rows=0
while IFS= read -r line; do
  [[ "$line" =~ ^\|\ \`([^\`]*)\`\ \|\ \`([^\`]*)\`\ \|\ \`([^\`]*)\`\ \|$ ]] || continue
  pattern="${BASH_REMATCH[1]}"
  first="${BASH_REMATCH[2]}"
  second="${BASH_REMATCH[3]}"
  got_first="$("$cli" name --pattern "$pattern" --base sample --first)" ||
    fail "lumatag-cli name failed for $pattern"
  got_second="$("$cli" name --pattern "$pattern" --base sample --number 2)" ||
    fail "lumatag-cli name failed for $pattern"
  [ "$got_first" = "$first" ] || fail "$pattern: the guide says '$first', the program gives '$got_first'"
  [ "$got_second" = "$second" ] ||
    fail "$pattern: the guide says '$second', the program gives '$got_second'"
  rows=$((rows + 1))
done <"$guide"
[ "$rows" -ge 5 ] || fail "only $rows example rows found in $guide"
echo "examples: $rows rows agree with lumatag-cli"

[ -f "$pdf" ] || fail "$pdf is missing"
[ "$(head -c 5 "$pdf")" = "%PDF-" ] || fail "$pdf is not a PDF"
pages="$(grep -a -c -E '/Type ?/Page([^a-zA-Z]|$)' "$pdf" || true)"
images="$(grep -a -c -E '/Subtype ?/Image' "$pdf" || true)"
pictures="$(grep -c -E '^!\[' "$guide")"
echo "guide: $pages pages, $images images ($pictures pictures in the text)"
[ "$pages" -ge 5 ] || fail "the guide has only $pages pages"
[ "$images" -ge "$pictures" ] || fail "the guide shows $images of its $pictures pictures"
echo "guide check passed"
