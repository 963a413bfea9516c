#!/usr/bin/env bash
# Installs what is missing, builds, and runs the command-line layout tool on an example job.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/deps.sh
tools/build.sh
exec build/bin/pnxcut --summary examples/kitchen-cabinet.job
