#!/usr/bin/env bash
# Checks the includes of src/ and tools/ against the layers:
#  - a file of a folder of src/ includes only headers of its own folder or
#    of folders below it (a folder marked alone, none of another folder);
#  - outside src/jetdb, the driver is seen through its front door only:
#    "jetdb/NAME" must be one of the public headers of src/jetdb/include/jetdb/,
#    and those headers include nothing else of the driver;
#  - a tool (a folder of tools/) stands above every layer, and sees the
#    driver through the same door.
# Prints each include that breaks a rule and exits 1 when there is one.
# Usage: tools/check_layers.sh [ROOT]   (ROOT holds src/ and tools/)
set -euo pipefail
root=${1:-$(cd "$(dirname "$0")/.." && pwd)}
src=$root/src
public=$src/jetdb/include/jetdb

# From the top layer down.
layers=(app engine steps framework merges recordsets shell res platform import access jetdb)
declare -A rank
for i in "${!layers[@]}"; do rank[${layers[$i]}]=$i; done
# Layers that include no other folder at all: the Access reader sits above
# the driver so that the import can join them, but owes it nothing.
declare -A alone=([access]=1)

status=0
refuse() {
  echo "$1"
  status=1
}

# The includes of FILES... with a folder in their name, as "file:line:folder:rest".
includes() {
  grep -Hn -E '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$@" 2>/dev/null |
    sed -nE 's/^([^:]*):([0-9]+):[[:space:]]*#[[:space:]]*include[[:space:]]*"([^/"]+)\/([^"]*)".*/\1:\2:\3:\4/p' || true
}

# Whether "jetdb/NAME" is a header of the front door.
public_header() { [ -f "$public/$1" ]; }

# FOLDER_RANK WHERE FILES...: the rules for a file of a layer (rank) or of
# a tool (rank -1: above every layer).
check_files() {
  local own=$1 where=$2
  shift 2
  while IFS=: read -r file line target rest; do
    local at=${file#"$root"/}:$line
    if [ "$target" = jetdb ] && [ "$where" != jetdb ] && ! public_header "$rest"; then
      refuse "$at: $where includes jetdb/$rest, which is no public header of the driver"
    elif [ -z "${rank[$target]+x}" ]; then
      refuse "$at: $where includes $target, which is no layer"
    elif [ "$own" -ge 0 ] && { [ "${rank[$target]}" -lt "$own" ] ||
                                { [ -n "${alone[$where]+x}" ] && [ "$target" != "$where" ]; }; }; then
      refuse "$at: $where includes $target"
    fi
  done < <(includes "$@")
}

for dir in "$src"/*/; do
  folder=$(basename "$dir")
  if [ -z "${rank[$folder]+x}" ]; then
    refuse "$folder: a folder of src/ that is no known layer"
    continue
  fi
  check_files "${rank[$folder]}" "$folder" "$dir"*.h "$dir"*.cpp
done

# The public headers: each includes only other public headers.
for header in "$public"/*.h; do
  [ -e "$header" ] || continue
  while IFS=: read -r line text; do
    name=$(sed -E 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"(jetdb\/)?([^"]*)".*/\2/' <<<"$text")
    public_header "$name" ||
      refuse "${header#"$root"/}:$line: the public header includes $name, which is the driver's own"
  done < <(grep -n -E '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$header" || true)
done

for dir in "$root"/tools/*/; do
  [ -d "$dir" ] || continue
  check_files -1 "tools/$(basename "$dir")" "$dir"*.h "$dir"*.cpp
done

[ $status -eq 0 ] && echo "layers: every include runs down (${layers[*]}); tools and layers see jetdb through include/jetdb"
exit $status
