#!/usr/bin/env bash
# The package's editor of unixODBC's driver list, on lists as administrators
# keep them: our driver goes under its own name, and under the Access name
# only when that is free; the removal gives back the list byte for byte and
# leaves an entry changed since. unixODBC reads what was added.
# Usage: odbc_driver_entry_test.sh ODBC_DRIVER_ENTRY
set -euo pipefail
entry=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
list=$scratch/odbcinst.ini record=$scratch/record library=/usr/lib/toquelin/libtqodbc.so
status=0
fail() { echo "FAIL: $*"; status=1; }
run() { "$entry" "$1" "$list" "$library" "$record"; }
section() { ODBCSYSINI=$scratch odbcinst -q -d -n "$1" 2>&1; }
has_odbcinst=$(command -v odbcinst || true)

# An administrator's list: comments, spacing, the Access name mapped to
# mdbtools, CR LF line ends, no line end at the very end.
printf '# Access files through mdbtools\r\n[Microsoft Access Driver (*.mdb)]\r\nDescription = MDB Tools\r\nDriver      = libmdbodbc.so\r\n\r\n[MDBTools]\r\nDriver=libmdbodbc.so' >"$list"
cp "$list" "$scratch/before"
said=$(run register)
grep -qF "« Microsoft Access Driver (*.mdb) » reste dans $list le nom du pilote libmdbodbc.so" <<<"$said" ||
  fail "register does not say that the Access name stays the administrator's: $said"
grep -qF "sous « Toquelin jetdb »" <<<"$said" || fail "register does not name our own entry: $said"
grep -A2 -F '[Microsoft Access Driver (*.mdb)]' "$list" | grep -qF 'Driver      = libmdbodbc.so' ||
  fail "the Access name no longer maps to mdbtools"
grep -qF $'[Toquelin jetdb]\r' "$list" || fail "our entry is missing or without the list's CR LF"
if [ -n "$has_odbcinst" ]; then
  section "Toquelin jetdb" | grep -qxF "Driver=$library" || fail "odbcinst does not read our entry: $(section "Toquelin jetdb")"
  section "Microsoft Access Driver (*.mdb)" | grep -qxF "Driver=libmdbodbc.so" || fail "odbcinst reads another Access entry"
fi
cp "$list" "$scratch/registered"
run register >/dev/null
cmp -s "$list" "$scratch/registered" || fail "a second registration changed the list"
said=$(run unregister)
cmp -s "$list" "$scratch/before" || { fail "the removal did not give the list back:"; diff "$scratch/before" "$list" | cat -A; }
[ ! -e "$record" ] || fail "the removal left its record"

# A free Access name is ours too, and goes with the removal; an entry that
# the administrator changed since stays, and is named.
printf '[MDBTools]\nDriver=libmdbodbc.so\n' >"$list"
cp "$list" "$scratch/before"
run register | grep -qF "enregistré dans $list sous « Microsoft Access Driver (*.mdb) »" ||
  fail "the free Access name was not taken"
[ -z "$has_odbcinst" ] || section "Microsoft Access Driver (*.mdb)" | grep -qxF "Driver=$library" ||
  fail "odbcinst does not read our Access entry"
run unregister >/dev/null
cmp -s "$list" "$scratch/before" || fail "the removal of both entries did not give the list back"
run register >/dev/null
sed -i "/^\[Microsoft Access Driver/,/^Driver=/ s|^Driver=.*|Driver=libmdbodbc.so|" "$list"
said=$(run unregister)
grep -qF "« Microsoft Access Driver (*.mdb) » a changé dans $list depuis son enregistrement : laissé tel quel." <<<"$said" ||
  fail "the removal does not name the changed entry: $said"
grep -qF '[Toquelin jetdb]' "$list" && fail "the removal left our unchanged entry"
grep -qF 'Driver=libmdbodbc.so' <(sed -n '/^\[Microsoft Access Driver/,$p' "$list") || fail "the removal took the changed entry"

# No list at all: it is made readable by every user, and goes again.
rm -f "$list"
run register >/dev/null
[ "$(stat -c %a "$list")" = 644 ] || fail "a new list has mode $(stat -c %a "$list")"
run unregister >/dev/null
[ ! -e "$list" ] || fail "the list that the registration made is still there: $(cat "$list")"

# A list that cannot be read changes nothing, and the failure is said.
mkdir "$list"
said=$(run register) && fail "register on a folder succeeded"
grep -qF "pilote ODBC laissé tel quel" <<<"$said" || fail "no reason given: $said"
exit $status
