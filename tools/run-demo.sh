#!/usr/bin/env bash
# `make run`: shows the program's current front-end, lumatag-cli, on a demo folder of generated
# camera photos with real Exif data. Everything lives under the build folder: the photos in
# BUILD/demo/photos and the settings file in BUILD/demo/config (XDG_CONFIG_HOME), so the person's
# own folders and settings are never touched.
set -euo pipefail
build=${1:-build}
cli="$build/bin/lumatag-cli"
demo="$(cd "$build" && pwd)/demo"
photos="$demo/photos"

rm -rf "$demo"
mkdir -p "$photos" "$demo/config" "$demo/data"
export XDG_CONFIG_HOME="$demo/config"
export XDG_DATA_HOME="$demo/data"
# The demo names patterns by their English names, so its texts stay English whatever the locale.
[ -n "${LC_ALL:-}" ] && export LC_TIME="$LC_ALL"
unset LC_ALL
export LC_MESSAGES=C.UTF-8

# Six camera-named photos (alternating Exif byte orders, one TIFF), and one already named.
"$build/bin/lumatag-make-photos" "$photos" 6
mv "$photos/IMG_0004.JPG" "$photos/Harbour #001.JPG"

"$cli" --help
echo
echo "== lumatag-cli scan $photos"
"$cli" scan "$photos"
echo
echo "== lumatag-cli rename-remaining $photos --pattern-name 'Hash sign & 3 digits' --base Harbour --dry-run"
"$cli" rename-remaining "$photos" --pattern-name 'Hash sign & 3 digits' --base Harbour --dry-run
echo
echo "(dry run: nothing was renamed; the settings file is $XDG_CONFIG_HOME/Lumatag/settings.reg)"
