#!/usr/bin/env bash
# The floor of bench/chain_bench: bench/floor.sql run by the stock sqlite3
# shell on a fresh copy of a V2.0 database, RUNS times (5 unless told);
# prints each run's wall and CPU seconds and peak resident set, then the
# medians. Every relation check of the script must print 0.
# Usage: bench/floor.sh BUILD_DIR DATABASE [RUNS]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "$1" && pwd)
database=$2
runs=${3:-5}
extension=$build/tools/jetdb_sqlite/libjetdb_sqlite
[ -f "$extension.so" ] || { echo "floor.sh: $extension.so missing (target jetdb_sqlite)" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
sed "s|@TEMPLATES@|$build/templates|g" "$here/floor.sql" > "$work/floor.sql"
walls=() cpus=()
for ((n = 1; n <= runs; n++)); do
  cp "$database" "$work/Base.mdb"
  rm -f "$work/Base.mdb-wal" "$work/Base.mdb-shm"
  # The driver's own settings of a writing connection: a write-ahead log,
  # synchronous=NORMAL, a checkpoint every 20000 pages.
  /usr/bin/time -f "%e %U %S %M" -o "$work/time" \
    sqlite3 -bail -batch -cmd ".load $extension" -cmd ".output /dev/null" -cmd "PRAGMA journal_mode=WAL" \
      -cmd "PRAGMA synchronous=NORMAL" -cmd "PRAGMA wal_autocheckpoint=20000" -cmd ".output stdout" \
      "$work/Base.mdb" < "$work/floor.sql" > "$work/out"
  if grep -v -x -e 0 "$work/out" >/dev/null; then
    echo "floor.sh: a relation check found broken rows or a statement printed something:" >&2
    grep -v -x -e 0 "$work/out" >&2
    exit 1
  fi
  version=$(sqlite3 -cmd ".load $extension" "$work/Base.mdb" \
    "SELECT Langue_1 FROM Langue_System WHERE Libelle = 'IDS_VERSION_DB'")
  [ "$version" = "2.5.3.459" ] || { echo "floor.sh: the script stopped at $version" >&2; exit 1; }
  read -r wall user sys rss < "$work/time"
  cpu=$(echo "$user + $sys" | bc)
  printf 'run %d: wall %.3f s, cpu %.3f s, peak %.1f MB\n' "$n" "$wall" "$cpu" "$(echo "$rss / 1024" | bc -l)"
  walls+=("$wall") cpus+=("$cpu")
done
median() { printf '%s\n' "$@" | sort -g | awk '{a[NR] = $1} END {print (NR % 2) ? a[(NR + 1) / 2] : (a[NR / 2] + a[NR / 2 + 1]) / 2}'; }
printf 'floor: median wall %.3f s, median cpu %.3f s over %d runs\n' "$(median "${walls[@]}")" "$(median "${cpus[@]}")" "$runs"
