#!/usr/bin/env bash
# `make run`: opens Lumatag's window on a demo folder of generated camera photos (real pictures
# and Exif data). Everything lives under the build folder: the photos in BUILD/demo/photos and the
# settings in BUILD/demo/config (XDG_CONFIG_HOME), so the person's own folders and settings are
# never touched. The settings are preset (English interface, no update checks, the demo folder) so
# that no question holds the demo up.
#
# Without a display the program runs under Xvfb, saves a picture of its window once the first
# preview is drawn to BUILD/demo/lumatag.png and ends; the script prints that path.
#
# LUMATAG_DEMO_LOCALE=de_DE.UTF-8 shows the window in that locale's language instead (chosen at
# start as on a first start in that locale); its picture is BUILD/demo/lumatag-de_DE.png.
#
# The user guide's pictures are taken the same way on the offscreen platform, without Xvfb:
# QT_QPA_PLATFORM=offscreen LUMATAG_DEMO_DIR=FOLDER LUMATAG_SCREENSHOT_STEPS=FOLDER run-demo.sh BUILD
# puts the demo in FOLDER and the window's picture and the five steps' pictures there. With
# LUMATAG_DEMO_PHOTOS=FOLDER the photos go there instead (the window shows their folder's path, and
# a guide should not show the path of the machine that built it); that folder is emptied first
# and removed once the pictures are taken.
set -euo pipefail
build=${1:-build}
demo="${LUMATAG_DEMO_DIR:-$(cd "$build" && pwd)/demo}"
photos="${LUMATAG_DEMO_PHOTOS:-$demo/photos}"

rm -rf "$demo" "$photos"
mkdir -p "$photos" "$demo/config/Lumatag" "$demo/data"
export XDG_CONFIG_HOME="$demo/config"
export XDG_DATA_HOME="$demo/data"
export XDG_STATE_HOME="$demo/state"
# The demo names patterns by their English names, so its texts stay English whatever the locale.
[ -n "${LC_ALL:-}" ] && export LC_TIME="$LC_ALL"
unset LC_ALL
locale_line='"UI Locale"=dword:00000409'
shot="$demo/lumatag.png"
if [ -n "${LUMATAG_DEMO_LOCALE:-}" ]; then
  export LC_MESSAGES="$LUMATAG_DEMO_LOCALE" LANG="$LUMATAG_DEMO_LOCALE"
  locale_line=""
  shot="$demo/lumatag-${LUMATAG_DEMO_LOCALE%%.*}.png"
else
  export LC_MESSAGES=C.UTF-8
fi

# Six camera-named photos; the first one taken is named already, so the window opens on a named
# photo with its pattern and base name.
"$build/bin/lumatag-make-demo-photos" "$photos" 6
mv "$photos/IMG_0001.JPG" "$photos/Harbour #001.JPG"

cat > "$demo/config/Lumatag/settings.reg" <<HIVE
Lumatag Settings Hive 1

[HKEY_CURRENT_USER\\Software]

[HKEY_CURRENT_USER\\Software\\Quarrytree Software]

[HKEY_CURRENT_USER\\Software\\Quarrytree Software\\Lumatag]
$locale_line
"Update Check Period"=dword:00000003
"File Navigation Mode"=dword:00000000
"Image Folder"="$photos/"
HIVE

if [ "${QT_QPA_PLATFORM:-}" = offscreen ]; then
  status=0
  LUMATAG_SCREENSHOT="$shot" "$build/bin/lumatag" || status=$?
  [ -z "${LUMATAG_DEMO_PHOTOS:-}" ] || rm -rf "$photos"
  exit "$status"
fi
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ -z "${LUMATAG_DEMO_SCREENSHOT:-}" ]; then
  echo "Lumatag on $photos (settings: $XDG_CONFIG_HOME/Lumatag/settings.reg)"
  exec "$build/bin/lumatag"
fi

LUMATAG_SCREENSHOT="$shot" LUMATAG_STARTUP_TIMING=1 \
  xvfb-run -a -s '-screen 0 1280x900x24' "$build/bin/lumatag"
echo "Screenshot of the window: $shot"
