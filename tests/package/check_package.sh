#!/usr/bin/env bash
# Builds the Debian package of a build tree, checks its dependencies and contents, unpacks it into
# a scratch root and runs the programs installed there: lumatag-cli in English and German (the
# installed program finds its locale folders under ../share/lumatag), its update check, and the
# desktop program, when the package holds one, for one start-up on the offscreen platform.
#
# Usage: check_package.sh BUILD_DIR
set -euo pipefail

build="$(cd "$1" && pwd)"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cpack --config "$build/CPackConfig.cmake" -G DEB -B "$scratch/out" >"$scratch/cpack.log" 2>&1 ||
  { cat "$scratch/cpack.log" >&2; fail "cpack"; }
debs=("$scratch"/out/*.deb)
[ -f "${debs[0]}" ] || fail "no .deb was built"
deb="${debs[0]}"
echo "package: $(basename "$deb")"

# Dependencies come from the shared libraries the programs link.
depends="$(dpkg-deb -f "$deb" Depends)"
echo "Depends: $depends"
for library in libc6 libstdc++6 libqt6core6 libicu; do
  grep -q "$library" <<<"$depends" || fail "Depends lacks $library"
done

contents="$(dpkg-deb -c "$deb")"
for file in ./usr/bin/lumatag-cli \
            ./usr/libexec/lumatag/lumatag-update-check \
            ./usr/share/lumatag/de/strings.txt \
            ./usr/share/lumatag/LICENSE \
            ./usr/share/doc/lumatag/copyright \
            ./usr/share/applications/com.quarrytreesoftware.Lumatag.desktop \
            ./usr/share/metainfo/com.quarrytreesoftware.Lumatag.metainfo.xml \
            ./usr/share/icons/hicolor/scalable/apps/com.quarrytreesoftware.Lumatag.svg \
            ./usr/share/icons/hicolor/48x48/apps/com.quarrytreesoftware.Lumatag.png \
            ./usr/share/man/man1/lumatag-cli.1 \
            ./usr/share/lumatag/help/index.html \
            "./usr/share/lumatag/Lumatag User Guide.pdf" \
            "./usr/share/lumatag/EULA - ClickWrap.pdf"; do
  grep -qF " $file" <<<"$contents" || fail "package lacks $file"
done

root="$scratch/root"
dpkg-deb -x "$deb" "$root"
export XDG_CONFIG_HOME="$scratch/config" XDG_DATA_HOME="$scratch/data"
mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$scratch/photos"
unset LC_ALL LC_MESSAGES LANGUAGE

cli="$root/usr/bin/lumatag-cli"
strings="$(LANG=C.UTF-8 "$cli" strings)" || fail "lumatag-cli strings"
grep -q $'^23000\tLumatag$' <<<"$strings" || fail "lumatag-cli strings lacks the application title"
echo "lumatag-cli strings: $(wc -l <<<"$strings") entries"
"$cli" --version

english="$(LANG=C.UTF-8 "$cli" scan "$scratch/photos")" || fail "lumatag-cli scan"
german="$(LANG=de_DE.UTF-8 "$cli" scan "$scratch/photos")" || fail "lumatag-cli scan (German)"
echo "scan, English: $english"
echo "scan, German:  $german"
grep -q 'Fotos sind noch zu benennen' <<<"$german" || fail "the installed German table was not used"
grep -q 'photos still to be named' <<<"$english" || fail "English counts missing"

# lumatag-cli loads no Qt; its update-check runs the installed lumatag-update-check, which reports
# a refused connection in the environment's language (it finds ../../share/lumatag too).
if ldd "$cli" | grep -q 'libQt6'; then fail "lumatag-cli loads Qt"; fi
status=0
check="$(LANG=de_DE.UTF-8 "$cli" update-check --url http://127.0.0.1:9/ 2>&1)" || status=$?
echo "update-check, German: $check"
[ "$status" -eq 1 ] || fail "update-check ended with $status"
grep -q 'Bei der Suche nach Updates' <<<"$check" || fail "update-check did not run in German"

# The desktop program: one start-up. It passes when it is still running after a few seconds (and is
# then ended) or when it ended by itself with status 0.
desktop="$root/usr/bin/lumatag"
if [ -x "$desktop" ]; then
  QT_QPA_PLATFORM=offscreen "$desktop" >"$scratch/desktop.log" 2>&1 &
  pid=$!
  for _ in $(seq 1 10); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.5
  done
  if kill -0 "$pid" 2>/dev/null; then
    kill "$pid"
    wait "$pid" 2>/dev/null || true
    echo "lumatag: started on the offscreen platform"
  else
    status=0
    wait "$pid" || status=$?
    [ "$status" -eq 0 ] || { cat "$scratch/desktop.log" >&2; fail "lumatag ended with status $status"; }
    echo "lumatag: started and ended with status 0"
  fi
fi
echo "package check passed"
