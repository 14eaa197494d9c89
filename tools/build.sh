#!/usr/bin/env bash
# Configures and builds the project into a build folder.
# Usage: tools/build.sh [BUILD_DIR] [extra cmake options...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
shift || true
"$root/tools/setup.sh"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DUPDATER_WERROR=ON "$@" >/dev/null
cmake --build "$build" -j"$(nproc)"
