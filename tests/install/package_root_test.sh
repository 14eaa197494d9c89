#!/usr/bin/env bash
# The package's maintainer scripts under dpkg, in a root of its own (dpkg
# --root, scripts run with DPKG_ROOT): nothing of the machine is touched.
# Stand-ins of the packages it depends on and of unixODBC's, built here, do
# to the list of drivers what Debian's do (unixodbc-common makes it on
# installation, deletes it on purge), no more.
#  - An administrator's list maps the Access name to mdbtools: the
#    installation says that it keeps it and adds our own name; the purge
#    gives the list back byte for byte.
#  - odbcinst arriving after the package, when the list has lost our
#    entries (or is gone): the trigger puts them back.
# Needs root (dpkg). Usage: package_root_test.sh DIR_OF_THE_DEB
set -euo pipefail
deb=$(ls "$1"/updater_*.deb)
[ "$(id -u)" -eq 0 ] || { echo "dpkg needs root"; exit 77; }
for tool in dpkg dpkg-deb dpkg-query; do command -v $tool >/dev/null || { echo "$tool is not installed"; exit 77; }; done
scratch=$(mktemp -d)
trap '[ -n "${KEEP:-}" ] || rm -rf "$scratch"' EXIT
status=0
fail() { echo "FAIL: $*"; status=1; }

root=$scratch/root list=$scratch/root/etc/odbcinst.ini
dpkg_root() { dpkg --root="$root" --log=/dev/null --force-script-chrootless --force-unsafe-io "$@" 2>&1; }
ours() { grep -qxF '[Toquelin jetdb]' "$list" 2>/dev/null; }

stand_in() {  # NAME VERSION [DEPENDS]
  local dir=$scratch/stand-ins/$1
  mkdir -p "$dir/DEBIAN"
  {
    printf 'Package: %s\nVersion: %s\nArchitecture: all\nMaintainer: test <test@example.org>\n' "$1" "$2"
    [ -z "${3:-}" ] || printf 'Depends: %s\n' "$3"
    printf 'Description: stand-in\n'
  } >"$dir/DEBIAN/control"
}
# The libraries, at the machine's versions, which satisfy the package's.
libraries=$(dpkg-deb -f "$deb" Depends | tr ',' '\n' | awk '{ print $1 }')
for name in $libraries; do
  version=$(dpkg-query -W -f='${Version}' "$name" 2>/dev/null) || { echo "$name is not installed here"; exit 77; }
  [ "$name" = libodbcinst2 ] && stand_in "$name" "$version" unixodbc-common || stand_in "$name" "$version"
done
stand_in unixodbc-common 1
mkdir -p "$scratch/stand-ins/unixodbc-common/etc"
: >"$scratch/stand-ins/unixodbc-common/etc/odbc.ini"
echo /etc/odbc.ini >"$scratch/stand-ins/unixodbc-common/DEBIAN/conffiles"
printf '#!/bin/sh\nset -e\nif [ "$1" = configure ] && [ ! -e "$DPKG_ROOT/etc/odbcinst.ini" ]; then touch "$DPKG_ROOT/etc/odbcinst.ini"; fi\n' \
  >"$scratch/stand-ins/unixodbc-common/DEBIAN/postinst"
printf '#!/bin/sh\nset -e\nif [ "$1" = purge ]; then rm -f "$DPKG_ROOT/etc/odbcinst.ini"; fi\n' \
  >"$scratch/stand-ins/unixodbc-common/DEBIAN/postrm"
chmod 755 "$scratch"/stand-ins/unixodbc-common/DEBIAN/post*
stand_in odbcinst 1 unixodbc-common
mkdir -p "$scratch/stand-ins/odbcinst/usr/bin"
printf '#!/bin/sh\nexit 0\n' >"$scratch/stand-ins/odbcinst/usr/bin/odbcinst"
chmod 755 "$scratch/stand-ins/odbcinst/usr/bin/odbcinst"
for dir in "$scratch"/stand-ins/*/; do dpkg-deb -b "$dir" "${dir%/}.deb" >/dev/null; done

# A root with what the package depends on (unixodbc-common comes with
# libodbcinst2), before the list holds anything of ours.
new_root() {
  rm -rf "$root"
  mkdir -p "$root/etc" "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates"
  touch "$root/var/lib/dpkg/status" "$root/var/lib/dpkg/available"
  local debs=()
  for name in unixodbc-common $libraries; do debs+=("$scratch/stand-ins/$name.deb"); done
  out=$(dpkg_root -i "${debs[@]}") || { echo "the stand-ins do not install: $out"; exit 1; }
}

# An administrator's mdbtools behind the Access name.
new_root
printf '; Access files through mdbtools (admin, 2026-11)\n[Microsoft Access Driver (*.mdb)]\nDescription = MDB Tools\nDriver      = /usr/lib/x86_64-linux-gnu/odbc/libmdbodbc.so\n\n[MDBTools]\nDriver=libmdbodbc.so\n' >"$list"
cp "$list" "$scratch/admin"
out=$(dpkg_root -i "$deb") || { fail "dpkg -i: $out"; }
grep -qF "« Microsoft Access Driver (*.mdb) » reste dans $list le nom du pilote /usr/lib/x86_64-linux-gnu/odbc/libmdbodbc.so" <<<"$out" ||
  fail "the installation does not say that it keeps the administrator's Access entry: $out"
grep -qF "pilote ODBC enregistré dans $list sous « Toquelin jetdb »" <<<"$out" || fail "the installation does not name our entry: $out"
ours || fail "no entry of ours after the installation: $(cat "$list")"
head -c "$(stat -c %s "$scratch/admin")" "$list" | cmp -s - "$scratch/admin" || fail "the installation changed the administrator's lines"
[ -x "$root/usr/lib/toquelin/updater" ] && [ -f "$root/usr/share/toquelin/tq2V2_5_3.mdb" ] ||
  fail "the program or the templates are not where the package puts them"
out=$(dpkg_root --purge updater) || fail "dpkg --purge: $out"
cmp -s "$list" "$scratch/admin" || { fail "the purge did not give the list back byte for byte:"; diff "$scratch/admin" "$list"; }
[ ! -e "$root/var/lib/updater" ] || fail "the purge left /var/lib/updater"

# odbcinst after the package, the list having lost our entries, then gone.
new_root
out=$(dpkg_root -i "$deb") || fail "dpkg -i: $out"
ours || fail "no entry of ours in unixodbc-common's list: $(cat "$list")"
sed -i '/^\[Toquelin jetdb\]$/,/^Driver=/d' "$list"
out=$(dpkg_root -i "$scratch/stand-ins/odbcinst.deb") || fail "odbcinst: $out"
grep -qF "Processing triggers for updater" <<<"$out" || fail "odbcinst's arrival ran no trigger of updater: $out"
ours || fail "odbcinst arrived, and our entry is not back: $(cat "$list")"
grep -qxF "Driver=/usr/lib/toquelin/libtqodbc.so" "$list" || fail "our entry names another library: $(cat "$list")"
out=$(dpkg_root --purge odbcinst) || fail "purging odbcinst: $out"
rm "$list"
out=$(dpkg_root -i "$scratch/stand-ins/odbcinst.deb") || fail "odbcinst again: $out"
ours || fail "odbcinst arrived, and there is still no list: $(cat "$list" 2>&1)"
out=$(dpkg_root --purge updater) || fail "dpkg --purge: $out"
! ours || fail "the purge left our entries: $(cat "$list")"
exit $status
