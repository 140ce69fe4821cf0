#!/usr/bin/env bash
# Installs the Debian packages that building and testing Lumatag needs, and nothing else.
# Safe to run again: it only installs what is missing. Needs root or sudo.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  clang libclang-rt-dev
  libicu-dev qt6-base-dev ca-certificates
  qt6-image-formats-plugins fonts-dejavu-core
  xvfb xauth
  libgtest-dev libgmock-dev libbenchmark-dev
  desktop-file-utils appstream librsvg2-bin dpkg-dev file
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
