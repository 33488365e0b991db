#!/usr/bin/env bash
# Installs the Debian packages Tarnwell needs to build, run and test that are missing.
# Safe to run again: it does nothing when everything is there.
set -euo pipefail

packages=(
  # toolkit and libraries
  qt6-base-dev libqt6sql6-sqlite qt6-tools-dev qt6-l10n-tools qt6-webengine-dev libxml2-dev
  # the report store writes through SQLite's own functions on the Qt driver's connection
  libsqlite3-dev
  # build
  cmake ninja-build g++ make
  # GUI tests, unpacking of terrain archives
  xvfb xauth unzip
  # the offline station map draws with Leaflet from its installed file
  libjs-leaflet
  # the local update server and its site generator (scripts/update-server, make-update-site)
  python3
  # libFuzzer and the sanitizer runtimes
  clang libclang-rt-14-dev
  # the Debian package (CPack finds the binaries with "file" and their dependencies with
  # dpkg-shlibdeps) and the check of its AppStream metadata
  dpkg-dev file appstream
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then
  sudo="sudo"
fi
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
