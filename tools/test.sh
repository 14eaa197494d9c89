#!/usr/bin/env bash
# Sets up, builds and runs every test.
# Usage: tools/test.sh            normal build in ./build
#        tools/test.sh --sanitize AddressSanitizer + UBSan build in ./build-sanitize
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
if [ "${1:-}" = "--sanitize" ]; then
  "$root/tools/build.sh" "$root/build-sanitize" -DUPDATER_SANITIZE=ON
  cd "$root/build-sanitize"
else
  "$root/tools/build.sh" "$root/build"
  cd "$root/build"
fi
ctest --output-on-failure -j"$(nproc)"
