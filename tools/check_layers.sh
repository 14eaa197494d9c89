#!/usr/bin/env bash
# Checks that every include of src/ runs down the layers: a file of one
# folder includes only headers of its own folder or of folders below it.
# Prints each include that runs up and exits 1 when there is one.
# Usage: tools/check_layers.sh [SRC_DIR]
set -euo pipefail
src=${1:-$(cd "$(dirname "$0")/.." && pwd)/src}

# From the top layer down.
layers=(app engine steps framework merges recordsets shell res platform access jetdb)
declare -A rank
for i in "${!layers[@]}"; do rank[${layers[$i]}]=$i; done
# Layers that include no other folder at all: the Access reader sits above
# the driver so that the import can join them, but owes it nothing.
declare -A alone=([access]=1)

status=0
for dir in "$src"/*/; do
  folder=$(basename "$dir")
  if [ -z "${rank[$folder]+x}" ]; then
    echo "$folder: a folder of src/ that is no known layer"
    status=1
    continue
  fi
  while IFS=: read -r file line text; do
    target=$(sed -E 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"([^/"]+)\/.*/\1/' <<<"$text")
    [ "$target" = "$text" ] && continue  # an include without a folder
    if [ -z "${rank[$target]+x}" ] || [ "${rank[$target]}" -lt "${rank[$folder]}" ] ||
       { [ -n "${alone[$folder]+x}" ] && [ "$target" != "$folder" ]; }; then
      echo "${file#"$src"/}:$line: $folder includes $target"
      status=1
    fi
  done < <(grep -Hn -E '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$dir"*.h "$dir"*.cpp 2>/dev/null || true)
done
[ $status -eq 0 ] && echo "layers: every include runs down (${layers[*]})"
exit $status
