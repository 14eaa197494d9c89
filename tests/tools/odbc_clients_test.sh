#!/usr/bin/env bash
# Real ODBC clients on a converted sample through the driver manager and the
# built driver, with an odbcinst.ini and an odbc.ini of their own (nothing
# of the machine's is read or written): isql lists the tables, reads accents,
# counts an UPDATE's rows and shows a refused INSERT's state; then pyodbc
# (odbc_pyodbc_check.py) reads everything and compares the catalog.
# Usage: odbc_clients_test.sh JETSQL DRIVER_LIBRARY CONVERTED_DB
set -euo pipefail
jetsql=$1 driver=$2 converted=$3
command -v isql >/dev/null || { echo "isql (unixodbc) is not installed"; exit 77; }
python=""
for p in /usr/bin/python3 python3; do
  if command -v "$p" >/dev/null && "$p" -c "import pyodbc" 2>/dev/null; then python=$p; break; fi
done
[ -n "$python" ] || { echo "pyodbc (python3-pyodbc) is not installed"; exit 77; }

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
db=$scratch/Base.mdb
cp "$converted" "$db"
# The driver name that the program writes into its data sources.
name="Toquelin jetdb"
printf '[%s]\nDescription=Toquelin databases\nDriver=%s\n' "$name" "$driver" >"$scratch/odbcinst.ini"
# A data source as the program writes one.
printf '[TQ2TMP]\nDriver=%s\nDBQ=%s\nDESCRIPTION=Base en cours\nFIL=MS Access;\n' "$name" "$db" >"$scratch/odbc.ini"
export ODBCSYSINI=$scratch ODBCINI=$scratch/odbc.ini
status=0
fail() { echo "$*"; status=1; }
isql_run() { printf '%s\n' "$@" | isql -v -b -d'|' TQ2TMP 2>&1; }
count() { "$jetsql" --csv "$db" "SELECT COUNT(*) FROM $1" | tail -n 1; }

# `help` lists every table.
listing=$(printf 'help\n' | isql -v -b TQ2TMP 2>&1)
while read -r table; do
  grep -q "| $table " <<<"$listing" || fail "isql help does not list $table"
done < <("$jetsql" --csv "$db" .tables | tail -n +2)

# A row whose text has accents reads as jetsql reads it.
row=$("$jetsql" --csv "$db" "SELECT UNITDEF_ID, NAME_1 FROM Unites ORDER BY UNITDEF_ID" | grep -v '"' |
  LC_ALL=C grep -m 1 $'[\x80-\xff]' || true)
[ -n "$row" ] || fail "the sample has no accented unit name to read"
id=${row%%,*}
got=$(isql_run "SELECT UNITDEF_ID, NAME_1 FROM Unites WHERE UNITDEF_ID = $id")
[ "$got" = "${row/,/|}" ] || fail "isql reads '$got' where jetsql reads '$row'"

# An UPDATE reports the rows it changed, and changed them.
type=$("$jetsql" --csv "$db" "SELECT TYPE FROM Unites WHERE UNITDEF_ID = $id" | tail -n 1)
expected=$(count "Unites WHERE TYPE = $type")
# (isql prints the count at its prompt only, not in batch mode)
got=$(printf 'UPDATE Unites SET NBDIGIT = 7 WHERE TYPE = %s\n' "$type" | isql -v TQ2TMP 2>&1)
grep -q "SQLRowCount returns $expected\$" <<<"$got" || fail "UPDATE of $expected rows: $got"
[ "$(count "Unites WHERE TYPE = $type AND NBDIGIT = 7")" = "$expected" ] || fail "the UPDATE did not reach the file"

# A refused INSERT shows the driver's state, as jetsql shows it on a copy.
cp "$db" "$scratch/copy.mdb"
refusal=$("$jetsql" "$scratch/copy.mdb" "INSERT INTO Unites (UNITDEF_ID) VALUES ($id)" 2>&1 || true)
state=$(sed -nE 's/^ERREUR \[([0-9A-Z]{5})\].*/\1/p' <<<"$refusal")
[ -n "$state" ] || fail "jetsql took a duplicate key: $refusal"
got=$(isql_run "INSERT INTO Unites (UNITDEF_ID) VALUES ($id)" || true)
grep -q "^\[$state\]\[jetdb\]\[Pilote Access\]" <<<"$got" || fail "isql shows no [$state] for the refused INSERT: $got"

"$python" "$(dirname "$0")/odbc_pyodbc_check.py" "$jetsql" "$db" TQ2TMP "$name" || status=1
exit $status
