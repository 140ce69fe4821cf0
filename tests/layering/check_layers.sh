#!/bin/bash
# Checks the layering of the source tree:
#   - a folder includes only folders at or below its own level (platform/ may include the engine
#     folders; only platform/ itself and the programs in app/ include platform/);
#   - the engine folders include no Qt header (update/qt/ is update's adapter and may);
#   - only platform/linux/, crash/ and app/ include operating-system headers.
# Usage: check_layers.sh SRC_DIR      checks the tree, exit 1 on any violation
#        check_layers.sh --self-check plants small trees with one fault each and expects each to fail
set -u

# Levels, bottom to top (level() below): foundation < ports < metadata < patterns < workflow <
# application < update, crash < ui < shell, dialogs < app. Folders on one level may include each
# other.
ENGINE_FOLDERS=" foundation ports metadata patterns workflow application crash update "
# Header-only folders that hold no code (string tables, icons, ...).
IGNORED_FOLDERS=" resources "
OS_HEADERS='unistd\.h|fcntl\.h|sys/[a-z_/]+\.h|dirent\.h|pthread\.h|signal\.h|pwd\.h|grp\.h|dlfcn\.h|poll\.h|termios\.h|execinfo\.h|ucontext\.h|spawn\.h|sched\.h|semaphore\.h|syslog\.h|netdb\.h|netinet/[a-z_]+\.h|arpa/[a-z_]+\.h|linux/[a-z_/]+\.h|link\.h|elf\.h|windows\.h|winbase\.h|winsock2?\.h|shlobj\.h|shellapi\.h|io\.h|direct\.h|process\.h|dbghelp\.h'

check_tree() {
  local src="$1"
  (cd "$src" && find . -type f \( -name '*.h' -o -name '*.hpp' -o -name '*.cpp' -o -name '*.cc' \
    -o -name '*.inl' \) -exec grep -HE '^[[:space:]]*#[[:space:]]*include' {} +) |
    awk -v engine="$ENGINE_FOLDERS" -v ignored="$IGNORED_FOLDERS" -v os="^($OS_HEADERS)\$" '
      function level(f) {
        if (f == "foundation") return 0
        if (f == "ports") return 1
        if (f == "metadata") return 2
        if (f == "patterns") return 3
        if (f == "workflow") return 4
        if (f == "application") return 5
        if (f == "update" || f == "crash") return 6
        if (f == "ui") return 7
        if (f == "shell" || f == "dialogs") return 8
        if (f == "app") return 9
        return -1
      }
      function fail(message) { print rel ": " message > "/dev/stderr"; failures++ }
      {
        colon = index($0, ":")
        rel = substr($0, 3, colon - 3)  # drop "./"
        line = substr($0, colon + 1)
        n = split(rel, parts, "/")
        if (n < 2) next
        folder = parts[1]
        sub_ = n > 2 ? parts[2] : ""
        if (index(ignored, " " folder " ")) next
        if (folder != "platform" && level(folder) < 0) {
          if (!(folder in unplaced)) { unplaced[folder] = 1; fail("the folder \"" folder "\" has no place in the layer order") }
          next
        }
        isEngine = index(engine, " " folder " ") > 0 && !(folder == "update" && sub_ == "qt")
        osAllowed = folder == "app" || folder == "crash" || (folder == "platform" && sub_ == "linux")
        target = line
        sub(/^[ \t]*#[ \t]*include[ \t]*[<"]/, "", target)
        quoted = substr(line, index(line, "include")) ~ /^include[ \t]*"/
        sub(/[>"].*$/, "", target)
        if (isEngine && target ~ /^(Qt[A-Za-z]*\/|Q[A-Z][A-Za-z0-9]*$|q[a-z0-9_]*\.h$)/)
          fail("an engine folder includes the Qt header <" target ">")
        if (!osAllowed && target ~ os) fail("includes the operating-system header <" target ">")
        if (!quoted) next
        slash = index(target, "/")
        if (slash == 0) next  # a header beside the including file
        tfolder = substr(target, 1, slash - 1)
        if (tfolder == folder) next
        if (tfolder == "platform") {
          if (folder != "app") fail("includes \"" target "\"; only the programs in app/ wire in platform/")
          next
        }
        if (level(tfolder) < 0) next  # a generated or outside header
        if (folder == "platform") {
          if (!index(engine, " " tfolder " ")) fail("platform/ includes \"" target "\", above the engine")
          next
        }
        if (level(tfolder) > level(folder))
          fail("\"" folder "\" includes \"" target "\" from a folder above itself")
      }
      END { exit failures > 0 }'
}

plant() {  # plant DIR FILE LINE...: writes a file of include lines
  local dir="$1" file="$2"
  shift 2
  mkdir -p "$dir/$(dirname "$file")"
  printf '%s\n' "$@" >>"$dir/$file"
}

self_check() {
  local work status=0
  work=$(mktemp -d)
  trap 'rm -rf "$work"' RETURN
  # A clean tree passes.
  local clean="$work/clean"
  plant "$clean" foundation/A.h '#include <cstdint>'
  plant "$clean" ports/P.h '#include "foundation/A.h"'
  plant "$clean" workflow/W.cpp '#include "ports/P.h"' '#include "W.h"'
  plant "$clean" platform/linux/L.cpp '#include <unistd.h>' '#include <QFile>' '#include "workflow/W.h"'
  plant "$clean" update/qt/Q.cpp '#include <QNetworkReply>' '#include "update/U.h"'
  plant "$clean" crash/C.cpp '#include <signal.h>' '#include "foundation/A.h"'
  plant "$clean" ui/U.cpp '#include <QWidget>' '#include "update/U.h"'
  plant "$clean" app/M.cpp '#include "platform/linux/L.h"' '#include "ui/U.h"' '#include <fcntl.h>'
  if ! check_tree "$clean" 2>/dev/null; then
    echo "self-check: a clean tree was refused" >&2
    check_tree "$clean"
    status=1
  fi
  # Each planted fault alone makes the check fail.
  local n=0 fault
  for fault in \
    'foundation/F.h|#include "ports/P.h"' \
    'ports/P.cpp|#include "metadata/M.h"' \
    'workflow/W.cpp|#include "application/A.h"' \
    'metadata/M.cpp|#include "platform/fake/F.h"' \
    'ui/U.cpp|#include "platform/linux/L.h"' \
    'platform/linux/L.cpp|#include "ui/U.h"' \
    'patterns/P.cpp|#include <QString>' \
    'update/U.cpp|#include <QtCore/QUrl>' \
    'crash/C.cpp|#include <QCoreApplication>' \
    'workflow/W.cpp|#include <unistd.h>' \
    'ports/P.h|#include <sys/stat.h>' \
    'platform/fake/F.h|#include <dirent.h>' \
    'ui/U.cpp|#include <pthread.h>' \
    'application/A.cpp|#include <windows.h>' \
    'mystery/X.cpp|#include <cstdint>'; do
    n=$((n + 1))
    local tree="$work/fault$n"
    cp -r "$clean" "$tree"
    plant "$tree" "${fault%%|*}" "${fault#*|}"
    if check_tree "$tree" 2>/dev/null; then
      echo "self-check: the fault '${fault#*|}' in ${fault%%|*} was not found" >&2
      status=1
    fi
  done
  [ "$status" -eq 0 ] && echo "self-check: a clean tree passes and $n planted faults fail"
  return "$status"
}

if [ "${1:-}" = --self-check ]; then
  self_check
  exit $?
fi
if [ $# -ne 1 ] || [ ! -d "$1/foundation" ]; then
  echo "usage: check_layers.sh SRC_DIR | --self-check" >&2
  exit 2
fi
if check_tree "$1"; then
  echo "layering: every include keeps to the layer order"
else
  exit 1
fi
