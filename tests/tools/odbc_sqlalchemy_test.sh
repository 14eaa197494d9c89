#!/usr/bin/env bash
# SQLAlchemy's Access dialect and pandas through the built driver
# (odbc_sqlalchemy_check.py), the dialect taken from where it is kept
# (third-party code, never copied here), with an odbcinst.ini of their own.
# Usage: odbc_sqlalchemy_test.sh JETSQL DRIVER_LIBRARY PYTHON_FOLDER
set -euo pipefail
jetsql=$1 driver=$(realpath "$2") folder=$3
[ -d "$folder/sqlalchemy_access" ] || { echo "the Access dialect is not in $folder: skipped"; exit 77; }
/usr/bin/python3 -c "import pyodbc, sqlalchemy, pandas" 2>/dev/null ||
  { echo "python3-pyodbc, python3-sqlalchemy or python3-pandas is not installed"; exit 77; }

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
printf '[Microsoft Access Driver (*.mdb, *.accdb)]\nDescription=Toquelin databases\nDriver=%s\n' "$driver" \
  >"$scratch/odbcinst.ini"
: >"$scratch/odbc.ini"
"$jetsql" --create "$scratch/base.mdb" </dev/null >/dev/null
ODBCSYSINI=$scratch ODBCINI=$scratch/odbc.ini PYTHONPATH=$folder PYTHONDONTWRITEBYTECODE=1 \
  /usr/bin/python3 "$(dirname "$0")/odbc_sqlalchemy_check.py" "$scratch/base.mdb"
