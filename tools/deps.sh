#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the tests and the program need, if missing.
# With --package also what building and checking the Debian package needs (tools/package.sh).
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config libx11-dev
  qt6-base-dev libqt6sql6-sqlite libgl-dev qt6-translations-l10n
  libbenchmark-dev
  qt6-svg-dev libxlsxwriter-dev libdxflib-dev libzint-dev libzip-dev libuchardet-dev
  fonts-wqy-microhei
  xvfb xauth imagemagick poppler-utils sqlite3 xdotool
  zbar-tools
  qt6-tools-dev qt6-l10n-tools qt6-svg-dev appstream desktop-file-utils
)
if [ "${1:-}" = --package ]; then
  packages+=(dpkg-dev file lintian)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -eq 0 ]; then
  as_root=()
elif command -v sudo >/dev/null 2>&1; then
  as_root=(sudo)
else
  echo "deps.sh: need root or sudo to install: ${missing[*]}" >&2
  exit 1
fi
echo "deps.sh: installing ${missing[*]}" >&2
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -qq
"${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
