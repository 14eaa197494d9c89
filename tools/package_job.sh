#!/usr/bin/env bash
# Builds the Debian package from a built tree, checks it with lintian,
# installs it with apt-get, converts the sample with the installed program
# and templates as an ordinary user would, and removes the package again.
# Needs root (apt-get). Usage: tools/package_job.sh [BUILD_DIR]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
out=$build/package
rm -rf "$out"
cpack --config "$build/CPackConfig.cmake" -B "$out" >/dev/null
deb=$(ls "$out"/updater_*.deb)
echo "package: $deb"
# Warnings are reported; an error fails the job.
lintian --fail-on error "$deb"

export DEBIAN_FRONTEND=noninteractive
apt-get install -y -qq "$deb" >/dev/null
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"; apt-get remove -y -qq updater >/dev/null 2>&1 || true' EXIT

templates=/usr/lib/toquelin
mkdir -p "$scratch/home/out"
"$root/tools/registry.sh" "$scratch/home/registry" "$templates"
cp "$templates/Exemple_V20.mdb" "$scratch/home/Base.mdb"
chmod 755 "$scratch"
chown -R nobody:nogroup "$scratch/home"
as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups -- env HOME="$scratch/home"
  UPDATER_REGISTRY="$scratch/home/registry" ODBCINI="$scratch/home/odbc.ini")
"${as_user[@]}" updater --info "/SRC=Exemple_V20.mdb" "/DEST=$scratch/home/out/Base.mdb"
"${as_user[@]}" updater "/SRC=$scratch/home/Base.mdb" "/DEST=$scratch/home/out/Base.mdb" </dev/null
version=$("${as_user[@]}" jetsql --csv "$scratch/home/out/Base.mdb" \
  "SELECT [Langue_1] FROM [Langue_System] WHERE [Libelle]='IDS_VERSION_DB'" | tail -n 1)
echo "converted sample: version $version"
[ "$version" = "2.5.3.459" ] || { echo "the installed program did not reach V2.5.3"; exit 1; }
check=$(sqlite3 "$scratch/home/out/Base.mdb" ".load $templates/libjetdb_sqlite" "PRAGMA integrity_check")
[ "$check" = ok ] || { echo "integrity_check: $check"; exit 1; }
man -w updater jetsql >/dev/null
# The package registered its ODBC driver: an ordinary user's data source on
# the converted sample opens in isql, and the removal takes it back.
driver="[Microsoft Access Driver (*.mdb)]"
odbcinst -q -d | grep -qxF "$driver" || { echo "the package did not register its ODBC driver"; exit 1; }
printf '[TQ2TMP]\nDriver=Microsoft Access Driver (*.mdb)\nDBQ=%s\n' "$scratch/home/out/Base.mdb" >"$scratch/home/odbc.ini"
chown nobody:nogroup "$scratch/home/odbc.ini"
listing=$(printf 'help\n' | "${as_user[@]}" isql -b TQ2TMP)
grep -q "| Langue_System " <<<"$listing" || { echo "isql through the installed driver: $listing"; exit 1; }
echo "isql lists $(grep -c '| TABLE ' <<<"$listing") tables through the installed driver"

apt-get remove -y -qq updater >/dev/null
if odbcinst -q -d | grep -qxF "$driver"; then echo "the removal left the ODBC driver registered"; exit 1; fi
for path in /usr/bin/updater /usr/bin/jetsql "$templates"; do
  [ ! -e "$path" ] || { echo "$path is still there after the removal"; exit 1; }
done
# The removal keeps dpkg's record of the package's maintainer scripts.
dpkg --purge updater >/dev/null
echo "package installed, converted the sample and was removed"
