#!/usr/bin/env bash
# jetsql --csv against the stock sqlite3 shell (with the driver's collation
# extension loaded, so that it reads the same indexes) on the same file and
# the same two reads: a keyed lookup (one ingredient by its key) and a full
# ordered scan (every ingredient by name). RUNS runs of each (5 unless
# told), taken in turn; prints each run's wall and CPU seconds, then the
# medians and the ratio of jetsql's CPU to sqlite3's. The two outputs are
# compared first, row for row: a figure of a read that differs means nothing.
# Usage: bench/csv_vs_sqlite3.sh BUILD_DIR [DATABASE] [RUNS]
set -euo pipefail
build=$(cd "$1" && pwd)
database=${2:-$build/large/Grande_V20_x4.mdb}
runs=${3:-5}
jetsql=$build/tools/jetsql/jetsql
extension=$build/tools/jetdb_sqlite/libjetdb_sqlite
for f in "$jetsql" "$extension.so" "$database"; do
  [ -f "$f" ] || { echo "csv_vs_sqlite3.sh: $f missing (targets jetsql, jetdb_sqlite, reference_large_x4)" >&2; exit 1; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

key=$(sqlite3 -cmd ".load $extension" "$database" "SELECT INGRED_ID FROM Ingredients ORDER BY _jet_row LIMIT 1 OFFSET (SELECT COUNT(*) / 2 FROM Ingredients)")
# Text and integers only: the two write a double each in its own way.
columns="INGRED_ID, NOM, UNITE, OWNER, CODE_AN"
lookup="SELECT $columns FROM Ingredients WHERE INGRED_ID = $key"
scan="SELECT $columns FROM Ingredients ORDER BY NOM, INGRED_ID"

jetsql_cmd=("$jetsql" --csv "$database")
# -header: jetsql's CSV begins with the names of the columns.
sqlite3_cmd=(sqlite3 -readonly -csv -header -cmd ".load $extension" "$database")

for name in lookup scan; do
  sql=${!name}
  "${jetsql_cmd[@]}" "$sql" > "$work/jetsql.csv"
  "${sqlite3_cmd[@]}" "$sql" > "$work/sqlite3.csv"
  # sqlite3 quotes every text with a space in it, jetsql only those that
  # need it: the rows are compared without the quotes.
  if ! cmp -s <(tr -d '"' < "$work/jetsql.csv") <(tr -d '"' < "$work/sqlite3.csv"); then
    echo "csv_vs_sqlite3.sh: $name: the two outputs differ:" >&2
    diff "$work/jetsql.csv" "$work/sqlite3.csv" | head -5 >&2
    exit 1
  fi
done

declare -A times=([lookup]=50 [scan]=1)

median() { printf '%s\n' "$@" | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }

for name in lookup scan; do
  sql=${!name}
  j=() s=()
  for ((n = 1; n <= runs; n++)); do
    for tool in jetsql sqlite3; do
      if [ "$tool" = jetsql ]; then cmd=("${jetsql_cmd[@]}"); else cmd=("${sqlite3_cmd[@]}"); fi
      # A lookup takes a few milliseconds: it is timed over `times` runs.
      /usr/bin/time -f "%e %U %S" -o "$work/time" \
        bash -c 'n=$1; shift; for ((i = 0; i < n; i++)); do "$@" > /dev/null; done' _ "${times[$name]}" "${cmd[@]}" "$sql"
      read -r wall user sys < "$work/time"
      cpu=$(echo "$user + $sys" | bc)
      printf '%-7s %-7s run %d: wall %s s, cpu %s s (%d times)\n' "$name" "$tool" "$n" "$wall" "$cpu" "${times[$name]}"
      if [ "$tool" = jetsql ]; then j+=("$cpu"); else s+=("$cpu"); fi
    done
  done
  mj=$(median "${j[@]}") ms=$(median "${s[@]}")
  ratio=$(echo "scale=2; $mj / ($ms + 0.0001)" | bc)
  printf '%-7s median cpu: jetsql %s s, sqlite3 %s s, ratio %s\n' "$name" "$mj" "$ms" "$ratio"
done
