#!/usr/bin/env bash
# `make run`: runs the program's current front-end, lumatag-cli, on something real. Until the
# desktop window exists this shows the command-line program's commands and the string table.
set -euo pipefail
build=${1:-build}
cli="$build/bin/lumatag-cli"
"$cli" --help
echo
echo "== lumatag-cli strings (first 20 of $("$cli" strings | wc -l) entries)"
"$cli" strings | head -n 20
