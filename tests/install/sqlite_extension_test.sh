#!/usr/bin/env bash
# The stock sqlite3 shell checks a converted sample with our extension, and
# cannot without it: the extension is what makes the check possible.
# Usage: sqlite_extension_test.sh UPDATER EXTENSION TEMPLATE_DIR SAMPLE_DB
set -euo pipefail
updater=$1 extension=$2 templates=$3 sample=$4
command -v sqlite3 >/dev/null || { echo "sqlite3 is not installed"; exit 77; }
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
"$(dirname "$0")/../../tools/registry.sh" "$scratch/registry" "$templates"
UPDATER_REGISTRY=$scratch/registry ODBCINI=$scratch/odbc.ini \
  "$updater" "/SRC=$sample" "/DEST=$scratch/Base.mdb" </dev/null >/dev/null 2>&1 || { echo "conversion failed"; exit 1; }

without=$(sqlite3 "$scratch/Base.mdb" "PRAGMA integrity_check" 2>&1 || true)
case $without in
  *JETNOCASE*) ;;
  *) echo "without the extension the check went through: $without"; exit 1 ;;
esac
with=$(sqlite3 "$scratch/Base.mdb" ".load ${extension%.so}" "PRAGMA integrity_check")
[ "$with" = "ok" ] || { echo "integrity_check: $with"; exit 1; }
# The collation is the driver's: case folds, an accent counts.
same=$(sqlite3 "$scratch/Base.mdb" ".load ${extension%.so}" \
  "SELECT 'Crème' = 'CRÈME' COLLATE JETNOCASE, 'Crème' = 'CREME' COLLATE JETNOCASE")
[ "$same" = "1|0" ] || { echo "JETNOCASE compares 'Crème' with 'CRÈME' and 'CREME' as $same"; exit 1; }
echo "sqlite3 checked the converted sample: $with"
