#!/usr/bin/env bash
# README's install into a scratch prefix, then a conversion of the sample by
# an ordinary user who can write nothing of the install, without settings:
# the program finds the templates installed with it, only reads them, and
# writes nothing beside them; an "ExePath" still names another folder.
# Usage: install_test.sh BUILD_DIR
set -euo pipefail
build=$1
scratch=$(mktemp -d)
trap 'chmod -R u+w "$scratch" 2>/dev/null; rm -rf "$scratch"' EXIT
chmod 755 "$scratch"
prefix=$scratch/opt/toquelin
cmake --install "$build" --prefix "$prefix" >/dev/null
lib=$prefix/lib/toquelin share=$prefix/share/toquelin

home=$scratch/home
mkdir -p "$home/out"
# Debug on, and no machine hive: no "ExePath".
"$(dirname "$0")/../../tools/registry.sh" "$home/registry" /nowhere
rm "$home/registry/HKEY_LOCAL_MACHINE.reg"
cp "$share/Exemple_V20.mdb" "$home/Base.mdb"

if [ "$(id -u)" -eq 0 ]; then
  # Root writes anywhere: the ordinary user is nobody, and the install
  # stays root's.
  chown -R nobody:nogroup "$home"
  as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups --)
else
  chmod -R a-w "$prefix"
  as_user=()
fi
# --info says where the template folder comes from.
origin=$("${as_user[@]}" env HOME="$home" UPDATER_REGISTRY="$home/registry" ODBCINI="$home/odbc.ini" \
  "$lib/updater" --info --json "/SRC=$home/Base.mdb" | /usr/bin/python3 -c \
  'import json, sys; t = json.load(sys.stdin)["settings"]["template_dir"]; print(t["origin"], t["value"])')
[ "$origin" = "installed $share" ] || { echo "--info --json gives the template folder as: $origin"; exit 1; }
listing() { for d in "$lib" "$share"; do (cd "$d" && ls -la --time-style=+%s . && md5sum ./*); done; }
before=$(listing)
cd "$scratch"

set +e
"${as_user[@]}" env HOME="$home" UPDATER_REGISTRY="$home/registry" ODBCINI="$home/odbc.ini" \
  "$lib/updater" "/SRC=$home/Base.mdb" "/DEST=$home/out/Base.mdb" </dev/null >/dev/null 2>"$scratch/stderr"
code=$?
set -e
if [ $code -ne 0 ]; then
  echo "the installed program failed with $code:"; cat "$scratch/stderr"
  [ -f "$home/out/Updater.log" ] && iconv -f WINDOWS-1252 -t UTF-8 "$home/out/Updater.log"
  exit 1
fi
version=$("$prefix/bin/jetsql" --csv "$home/out/Base.mdb" \
  "SELECT [Langue_1] FROM [Langue_System] WHERE [Libelle]='IDS_VERSION_DB'" | tail -n 1)
case $version in
  2.*) [ "$version" != "2.0.1.49" ] || { echo "the sample is still at $version"; exit 1; } ;;
  *) echo "no version row after the run: $version"; exit 1 ;;
esac
after=$(listing)
[ "$before" = "$after" ] || { echo "the install changed:"; diff <(echo "$before") <(echo "$after"); exit 1; }
# "ExePath" wins over the installed templates, even naming an empty folder.
mkdir "$scratch/empty"
printf 'REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Norvane\\Toquelin\\tq2\\Path]\n"ExePath"="%s"\n' "$scratch/empty" \
  >"$home/registry/HKEY_LOCAL_MACHINE.reg"
set +e
"${as_user[@]}" env HOME="$home" UPDATER_REGISTRY="$home/registry" ODBCINI="$home/odbc.ini" \
  "$lib/updater" "/SRC=$home/Base.mdb" "/DEST=$home/out/Autre.mdb" </dev/null >/dev/null 2>"$scratch/stderr"
code=$?
set -e
[ $code -eq 232 ] && grep -qF "$scratch/empty/tq2V2_1.mdb" "$scratch/stderr" ||
  { echo "with ExePath naming an empty folder: exit $code"; cat "$scratch/stderr"; exit 1; }
echo "installed program converted the sample as $( [ ${#as_user[@]} -gt 0 ] && echo nobody || id -un )"
