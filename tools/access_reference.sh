#!/usr/bin/env bash
# Writes tests/access/data/samples_digest.txt: what an independent reader,
# the npm package mdb-reader, reads from the public Access samples. Needs
# npm and its registry, which CI does not have: the digest is committed, and
# the tests compare with it wherever the samples are.
# Usage: tools/access_reference.sh [SAMPLES_DIR] [CACHE_DIR]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
samples=${1:-$root/../shared/access-samples}
cache=${2:-$root/build/access-reference}
mkdir -p "$cache"
if [ ! -d "$cache/node_modules/mdb-reader" ]; then
  (cd "$cache" && npm install --no-audit --no-fund --silent mdb-reader@3.2.0 >/dev/null)
fi
cp "$root/tools/access_reference.mjs" "$cache/"
node "$cache/access_reference.mjs" "$samples" >"$root/tests/access/data/samples_digest.txt"
echo "access_reference: $(grep -c '^C' "$root/tests/access/data/samples_digest.txt") columns of $(grep -c '^F' "$root/tests/access/data/samples_digest.txt") files"
