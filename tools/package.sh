#!/usr/bin/env bash
# Builds the Debian package build/package/pnx_<version>_<arch>.deb with CPack (its dependencies
# computed from the shared libraries the programs use) and checks it with lintian: an error
# fails, warnings are shown.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/deps.sh --package
tools/build.sh
rm -f build/package/pnx_*.deb
(cd build && cpack -G DEB >/dev/null)
deb=$(ls build/package/pnx_*.deb)
lintian --fail-on error --info "$deb"
echo "package.sh: built $deb"
