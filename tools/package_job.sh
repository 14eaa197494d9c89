#!/usr/bin/env bash
# Builds the Debian package from a built tree, checks it with lintian (no
# warning but initial-upload-closes-no-bugs), then does on this machine what
# a new user's first hour does, with an administrator's mdbtools entry under
# the Access name in /etc/odbcinst.ini: installs the package with apt-get
# (our driver goes in under its own name, the administrator's entry stays),
# converts the installed sample into an ordinary user's home without any
# setting, opens it with jetsql, isql and pyodbc through the installed
# driver, finds the manual pages in both languages, removes and purges the
# package, and checks /etc/odbcinst.ini byte for byte. The machine's own
# list is put back at the end, whatever happens.
# Needs root (apt-get). Usage: tools/package_job.sh [BUILD_DIR]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
out=$build/package
rm -rf "$out"
cpack --config "$build/CPackConfig.cmake" -B "$out" >/dev/null
deb=$(ls "$out"/updater_*.deb)
echo "package: $deb"
report=$(lintian "$deb" 2>&1 | grep -v '^running with root privileges' || true)
[ -z "$report" ] || echo "$report"
if grep -E '^[EW]: ' <<<"$report" | grep -vq ' initial-upload-closes-no-bugs '; then
  echo "lintian: an error or a warning other than initial-upload-closes-no-bugs"
  exit 1
fi

list=/etc/odbcinst.ini
scratch=$(mktemp -d)
chmod 755 "$scratch"
if [ -e "$list" ]; then cp -a "$list" "$scratch/machine.ini"; fi
put_back() {
  apt-get purge -y -qq updater >/dev/null 2>&1 || true
  if [ -e "$scratch/machine.ini" ]; then cp -a "$scratch/machine.ini" "$list"; else rm -f "$list"; fi
  rm -rf "$scratch"
}
trap put_back EXIT
fail() { echo "package job: $*"; exit 1; }

# The administrator maps the Access name to mdbtools, comments and spacing
# of their own (unless the machine's list already holds that name).
access="Microsoft Access Driver (*.mdb)"
if ! grep -qiF "[$access]" "$list" 2>/dev/null; then
  printf '\n; Access files through mdbtools (admin)\n[%s]\nDescription = MDB Tools\nDriver      = libmdbodbc.so\n' \
    "$access" >>"$list"
fi
cp -a "$list" "$scratch/before.ini"
admin_driver=$(odbcinst -q -d -n "$access" | sed -n 's/^Driver=//p')

export DEBIAN_FRONTEND=noninteractive
said=$(apt-get install -y "$deb" 2>&1) || { echo "$said"; fail "apt-get install failed"; }
grep '^updater : ' <<<"$said" || true
grep -qF "pilote ODBC enregistré dans $list sous « Toquelin jetdb »." <<<"$said" ||
  fail "the installation did not say that it registered the driver"
grep -qF "« $access » reste dans $list le nom du pilote $admin_driver" <<<"$said" ||
  fail "the installation did not say that it kept the administrator's entry"
odbcinst -q -d | grep -qxF "[Toquelin jetdb]" || fail "the package did not register its ODBC driver"
[ "$(odbcinst -q -d -n "$access" | sed -n 's/^Driver=//p')" = "$admin_driver" ] ||
  fail "the installation took over the administrator's Access entry"

# An ordinary user, without any setting: no registry folder, no hive that
# names a template folder. The installed program finds its templates.
hive=/etc/norvane/HKEY_LOCAL_MACHINE.reg
[ ! -e "$hive" ] || fail "$hive exists: the job needs a machine whose hive names no template folder"
home=$scratch/home
mkdir -p "$home/.config/norvane"
printf 'REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Norvane\\Toquelin\\updater\\Générale]\n"Debug"=dword:00000001\n' \
  >"$home/.config/norvane/HKEY_CURRENT_USER.reg"
chown -R nobody:nogroup "$home"
# nobody's passwd home does not exist: its data sources go where ODBCINI says.
as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups -- env -u UPDATER_REGISTRY HOME="$home"
  XDG_CONFIG_HOME="$home/.config" ODBCINI="$home/.odbc.ini")
cd "$home"
"${as_user[@]}" updater --info "/SRC=Exemple_V20.mdb" "/DEST=$home/Base.mdb" | grep -F "Dossier des modèles" |
  grep -qF "/usr/share/toquelin" || fail "the installed program does not find its templates"
"${as_user[@]}" updater "/SRC=Exemple_V20.mdb" "/DEST=$home/Base.mdb" </dev/null
version=$("${as_user[@]}" jetsql --csv "$home/Base.mdb" \
  "SELECT [Langue_1] FROM [Langue_System] WHERE [Libelle]='IDS_VERSION_DB'" | tail -n 1)
echo "converted sample: version $version"
[ "$version" = "2.5.3.459" ] || fail "the installed program did not reach V2.5.3"
# jetsql --import runs the installed jetsql-import: a file that is no
# Access file gets the import's own answer.
printf 'texte\n' >"$scratch/plain.txt"
chmod 644 "$scratch/plain.txt"
said=$("${as_user[@]}" jetsql --import "$scratch/plain.txt" "$home/Import.mdb" 2>&1) && fail "jetsql --import took a text file"
[ "$said" = "ce n'est pas une base Access (Jet 3 ou Jet 4)" ] || fail "jetsql --import did not reach jetsql-import: $said"
[ -f "$home/Updater.log" ] || fail "no journal with Debug set"
check=$(sqlite3 "$home/Base.mdb" ".load /usr/lib/toquelin/libjetdb_sqlite" "PRAGMA integrity_check")
[ "$check" = ok ] || fail "integrity_check: $check"
man -w updater jetsql >/dev/null
[ "$(man -L fr -w updater)" = /usr/share/man/fr/man1/updater.1.gz ] || fail "man -L fr updater: $(man -L fr -w updater 2>&1)"
[ -f /usr/share/bash-completion/completions/jetsql ] || fail "no bash completion"

# A data source as the program writes one opens in isql and pyodbc through
# the installed driver, although the Access name is the administrator's.
printf '[TQ2TMP]\nDriver=Toquelin jetdb\nDBQ=%s\n' "$home/Base.mdb" >"$home/.odbc.ini"
chown nobody:nogroup "$home/.odbc.ini"
listing=$(printf 'help\n' | "${as_user[@]}" isql -b TQ2TMP)
grep -q "| Langue_System " <<<"$listing" || fail "isql through the installed driver: $listing"
echo "isql lists $(grep -c '| TABLE ' <<<"$listing") tables through the installed driver"
count=$("${as_user[@]}" /usr/bin/python3 -c 'import pyodbc, sys
c = pyodbc.connect("DRIVER={Toquelin jetdb};DBQ=" + sys.argv[1])
print(c.execute("SELECT COUNT(*) FROM Unites").fetchone()[0])' "$home/Base.mdb")
echo "pyodbc counts $count units through the installed driver"

cd /
said=$(apt-get remove -y updater 2>&1) || { echo "$said"; fail "apt-get remove failed"; }
grep '^updater : ' <<<"$said" || true
if odbcinst -q -d | grep -qxF "[Toquelin jetdb]"; then fail "the removal left the ODBC driver registered"; fi
for path in /usr/bin/updater /usr/bin/jetsql /usr/lib/toquelin /usr/share/toquelin; do
  [ ! -e "$path" ] || fail "$path is still there after the removal"
done
apt-get purge -y -qq updater >/dev/null
cmp "$list" "$scratch/before.ini" || { diff "$scratch/before.ini" "$list"; fail "$list is not as it was before the installation"; }
echo "package installed, converted the sample and was removed; $list is byte for byte as before"
