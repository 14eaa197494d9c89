#!/usr/bin/env bash
# Sets up, builds what the run needs (the program, jetsql, the templates
# and the sample), converts the sample database with the templates of the
# build tree, shows the journal, and exits with the conversion's exit code
# (232 for its 1000: nothing converted).
# The run uses a registry folder of its own (Debug on, ExePath = the build's
# template folder: a program run from a build tree has no templates beside
# it), so it changes nothing of the user's settings.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build
"$root/tools/build.sh" "$build" -- updater jetsql reference_templates

templates=$build/templates
out=$build/main-job
rm -rf "$out"
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
exit $code
