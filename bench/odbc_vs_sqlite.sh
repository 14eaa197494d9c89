#!/usr/bin/env bash
# Our ODBC driver against SQLite's (libsqliteodbc, tools/setup.sh --dev)
# through pyodbc, side by side in one run (bench/odbc_vs_sqlite.py):
# executemany of ROWS rows (10,000 unless told), autocommit off, with
# fast_executemany true and false, and a fetch of the link rows of the large
# database against a plain SQLite copy of its link tables; RUNS runs (3
# unless told). The aims: executemany at most 1.5 times SQLite's, the fetch
# at most 1.2 times.
# Usage: bench/odbc_vs_sqlite.sh BUILD_DIR [DATABASE] [RUNS] [ROWS]
set -euo pipefail
build=$(cd "$1" && pwd)
database=${2:-$build/large/Grande_V20.mdb}
runs=${3:-3} rows=${4:-10000}
driver=$build/tools/odbc/libtqodbc.so
jetsql=$build/tools/jetsql/jetsql
sqlite_driver=$(ls /usr/lib/*/odbc/libsqlite3odbc.so 2>/dev/null | head -n 1 || true)
for f in "$driver" "$jetsql" "$database" "$sqlite_driver"; do
  [ -f "$f" ] || { echo "odbc_vs_sqlite.sh: ${f:-libsqlite3odbc.so (libsqliteodbc)} missing" >&2; exit 1; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
printf '[Microsoft Access Driver (*.mdb)]\nDriver=%s\n[SQLite3]\nDriver=%s\n' "$driver" "$sqlite_driver" \
  >"$work/odbcinst.ini"
: >"$work/odbc.ini"
# The database is read through a copy: the fetch must not change the original.
cp "$database" "$work/large.mdb"
ODBCSYSINI=$work ODBCINI=$work/odbc.ini JETSQL=$jetsql \
  /usr/bin/python3 -X faulthandler "$(dirname "$0")/odbc_vs_sqlite.py" "$work/large.mdb" "$work" "$runs" "$rows"
