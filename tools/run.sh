#!/usr/bin/env bash
# Installs what is missing, builds, and starts the program from the repository root
# (so the sample readme.rtf there shows in the notes pane).
set -euo pipefail
cd "$(dirname "$0")/.."
tools/deps.sh
tools/build.sh
exec build/bin/pnx
