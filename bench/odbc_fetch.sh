#!/usr/bin/env bash
# All the link rows of a database (categories of ingredients and of recipes,
# recipe compositions: the 100,000 links of gendb's large preset and the
# supplier links) fetched through pyodbc, the driver manager and our ODBC
# driver, against the same three SELECTs written as CSV by jetsql; RUNS
# times each (5 unless told), on the built driver with odbcinst.ini and
# odbc.ini files of its own. Prints each run's wall seconds, then the medians
# and their ratio (the aim: pyodbc at most twice jetsql).
# Usage: bench/odbc_fetch.sh BUILD_DIR [DATABASE] [RUNS]
set -euo pipefail
build=$(cd "$1" && pwd)
database=${2:-$build/large/Grande_V20.mdb}
runs=${3:-5}
driver=$build/tools/odbc/libtqodbc.so
jetsql=$build/tools/jetsql/jetsql
for f in "$driver" "$jetsql" "$database"; do
  [ -f "$f" ] || { echo "odbc_fetch.sh: $f missing (targets tqodbc, jetsql, reference_large)" >&2; exit 1; }
done
python=""
for p in /usr/bin/python3 python3; do
  if command -v "$p" >/dev/null && "$p" -c "import pyodbc" 2>/dev/null; then python=$p; break; fi
done
[ -n "$python" ] || { echo "odbc_fetch.sh: pyodbc (python3-pyodbc) is not installed" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
printf '[Microsoft Access Driver (*.mdb)]\nDriver=%s\n' "$driver" >"$work/odbcinst.ini"
export ODBCSYSINI=$work ODBCINI=$work/odbc.ini
: >"$ODBCINI"
queries=("SELECT * FROM [CategIngre]" "SELECT * FROM [CategRecet]" "SELECT * FROM [Compositions]")

now() { date +%s.%N; }
median() { printf '%s\n' "$@" | sort -g | awk '{v[NR]=$1} END {print (NR%2) ? v[(NR+1)/2] : (v[NR/2]+v[NR/2+1])/2}'; }
jet=() odbc=()
for ((n = 1; n <= runs; n++)); do
  start=$(now)
  # numbers only in these tables: one line a row, and one header a query
  rows_jet=$(($("$jetsql" --csv "$database" "${queries[@]}" | wc -l) - ${#queries[@]}))
  jet+=("$(echo "$(now) - $start" | bc)")
  start=$(now)
  rows_odbc=$("$python" - "$database" "${queries[@]}" <<'PY'
import sys, pyodbc
cnxn = pyodbc.connect("DRIVER={Microsoft Access Driver (*.mdb)};DBQ=" + sys.argv[1], autocommit=True)
print(sum(len(cnxn.execute(q).fetchall()) for q in sys.argv[2:]))
PY
)
  odbc+=("$(echo "$(now) - $start" | bc)")
  printf 'run %d: jetsql %.3f s (%s rows), pyodbc %.3f s (%s rows)\n' "$n" "${jet[-1]}" "$rows_jet" "${odbc[-1]}" \
    "$rows_odbc"
done
mj=$(median "${jet[@]}") mo=$(median "${odbc[@]}")
printf 'median: jetsql --csv %.3f s, pyodbc %.3f s, ratio %.2f\n' "$mj" "$mo" "$(echo "$mo / $mj" | bc -l)"
