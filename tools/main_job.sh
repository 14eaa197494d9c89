#!/usr/bin/env bash
# Sets up, builds, and converts the sample database with the templates of
# the build tree, then shows the exit code and the journal.
# The run uses a registry folder of its own (Debug on, ExePath = the build's
# template folder), so it changes nothing of the user's settings.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build
"$root/tools/build.sh" "$build"

templates=$build/templates
out=$build/main-job
rm -rf "$out"
mkdir -p "$templates"
"$root/tools/registry.sh" "$out/registry" "$templates"

echo "+ updater /SRC=Exemple_V20.mdb /DEST=$out/Base.mdb"
set +e
UPDATER_REGISTRY=$out/registry ODBCINI=$out/odbc.ini "$build/src/app/updater" /SRC=Exemple_V20.mdb "/DEST=$out/Base.mdb" </dev/null
code=$?
set -e
echo "Code de sortie : $code (1000 se lit 232)"
if [ -f "$out/Base.mdb" ]; then
  echo "Version de $out/Base.mdb : $("$build/tools/jetsql/jetsql" --csv "$out/Base.mdb" "SELECT [Langue_1] FROM [Langue_System] WHERE [Libelle]='IDS_VERSION_DB'" | tail -n 1)"
fi
if [ -f "$out/Updater.log" ]; then
  echo "--- $out/Updater.log"
  iconv -f WINDOWS-1252 -t UTF-8 "$out/Updater.log" | tr -d '\r'
fi
exit 0
