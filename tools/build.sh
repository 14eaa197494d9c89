#!/usr/bin/env bash
# Configures and builds the project into a build folder: everything, or only
# the targets given after "--" (and what they need).
# Usage: tools/build.sh [BUILD_DIR] [extra cmake options...] [-- TARGET...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
shift || true
options=() targets=()
while [ $# -gt 0 ] && [ "$1" != -- ]; do options+=("$1"); shift; done
[ $# -gt 0 ] && shift && targets=("$@")
"$root/tools/setup.sh"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DUPDATER_WERROR=ON "${options[@]}" >/dev/null
cmake --build "$build" -j"$(nproc)" ${targets[@]+--target "${targets[@]}"}
