#!/usr/bin/env bash
# Sets up, builds and runs every test.
# Usage: tools/test.sh            normal build in ./build
#        tools/test.sh --sanitize AddressSanitizer + UBSan build in ./build-sanitize
#        tools/test.sh --release  Release build in ./build-release
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
if [ "${1:-}" = "--sanitize" ]; then
  "$root/tools/build.sh" "$root/build-sanitize" -DUPDATER_SANITIZE=ON
  cd "$root/build-sanitize"
elif [ "${1:-}" = "--release" ]; then
  "$root/tools/build.sh" "$root/build-release" -DCMAKE_BUILD_TYPE=Release
  cd "$root/build-release"
else
  "$root/tools/build.sh" "$root/build"
  cd "$root/build"
fi
ctest --output-on-failure -j"$(nproc)"
