#!/usr/bin/env bash
# pyodbc's own tests of the Access driver, run from where they are kept
# (third-party code, never copied here) against the built driver under both
# names the Access driver goes by, with an odbcinst.ini of their own.
# Usage: pyodbc_access_test.sh JETSQL DRIVER_LIBRARY TESTS_FOLDER
set -euo pipefail
jetsql=$1 driver=$(realpath "$2") tests=$3
[ -f "$tests/accesstests.py" ] || { echo "pyodbc's Access tests are not in $tests: skipped"; exit 77; }
/usr/bin/python3 -c "import pyodbc" 2>/dev/null || { echo "pyodbc (python3-pyodbc) is not installed"; exit 77; }

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
for name in "Microsoft Access Driver (*.mdb)" "Microsoft Access Driver (*.mdb, *.accdb)"; do
  printf '[%s]\nDescription=Toquelin databases\nDriver=%s\n' "$name" "$driver"
done >"$scratch/odbcinst.ini"
: >"$scratch/odbc.ini"
"$jetsql" --create "$scratch/empty.mdb" </dev/null >/dev/null
export ODBCSYSINI=$scratch ODBCINI=$scratch/odbc.ini ACCESS_TESTS_EMPTY_DB=$scratch/empty.mdb ACCESS_TESTS_WORK=$scratch
# Tests expected to fail, by name; none is: any failure fails the test.
pending=""
status=0
for type in mdb accdb; do
  # -B: the folder may be read-only; no bytecode is written beside the tests.
  (cd "$tests" && /usr/bin/python3 -B accesstests.py "$type") >"$scratch/$type.log" 2>&1 || true
  echo "$type:"; grep -E "^(ERROR|FAIL):|^Ran |^OK|^FAILED" "$scratch/$type.log" || tail -n 20 "$scratch/$type.log"
  grep -q "^Ran 73 tests" "$scratch/$type.log" || { echo "$type: the 73 tests did not all run"; status=1; }
  while read -r failed; do
    grep -qw -- "$failed" <<<"$pending" || { echo "$type: $failed fails"; status=1; }
  done < <(sed -nE 's/^(ERROR|FAIL): (test_[a-z0-9_]+) .*/\2/p' "$scratch/$type.log")
done
exit $status
