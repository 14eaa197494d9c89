#!/usr/bin/env bash
# The Debian package built from the build tree holds what the README says,
# declares the packages of the libraries that its programs link, is built
# with Debian's hardening flags when the tree was (HARDENED ON; the
# sanitizer and Debug trees cannot be: fortified functions need the
# optimiser and clash with ASan), and has the maintainer scripts that
# register its ODBC driver. The package is left in OUT_DIR for the tests
# that install it.
# Usage: package_test.sh BUILD_DIR TEMPLATE_DIR OUT_DIR HARDENED
set -euo pipefail
build=$1 templates=$2 out=$3 hardened=$4
for tool in dpkg-deb dpkg-shlibdeps objdump readelf ldd; do
  command -v $tool >/dev/null || { echo "$tool is not installed"; exit 77; }
done
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
rm -rf "$out"
cpack --config "$build/CPackConfig.cmake" -B "$out" >"$scratch/cpack.log" 2>&1 || { cat "$scratch/cpack.log"; exit 1; }
rm -rf "$out/_CPack_Packages"
version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$build/CPackConfig.cmake")
deb=$out/updater_${version}-1_$(dpkg --print-architecture).deb
[ -f "$deb" ] || { echo "no $deb:"; ls "$out"; exit 1; }

status=0
contents=$(dpkg-deb -c "$deb" | awk '{ $1 = $2 = $3 = $4 = $5 = ""; sub(/^ +/, ""); print }')
expect() { grep -qxF -- "$1" <<<"$contents" || { echo "missing from the package: $1"; status=1; }; }
expect "./usr/lib/toquelin/updater"
expect "./usr/bin/updater -> ../lib/toquelin/updater"
expect "./usr/bin/jetsql"
expect "./usr/lib/toquelin/libjetdb_sqlite.so"
expect "./usr/lib/toquelin/libtqodbc.so"
expect "./usr/lib/toquelin/odbc-driver-entry"
for page in updater jetsql; do
  expect "./usr/share/man/man1/$page.1.gz"
  expect "./usr/share/man/fr/man1/$page.1.gz"
  expect "./usr/share/bash-completion/completions/$page"
done
expect "./usr/share/doc/updater/copyright"
expect "./usr/share/doc/updater/changelog.Debian.gz"
# The templates are the same on every architecture.
for file in "$templates"/*.mdb; do expect "./usr/share/toquelin/$(basename "$file")"; done
# Nothing of the build tree or the tests slips in.
extra=$(grep -vE '^\./usr/(lib/toquelin|bin|share/(toquelin|man/(fr/)?man1|bash-completion/completions|doc/updater))/' <<<"$contents" |
  grep -v '/$' || true)
[ -z "$extra" ] || { echo "unexpected files:"; echo "$extra"; status=1; }

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = updater ] || { echo "Package: $(field Package)"; status=1; }
[ "$(field Version)" = "$version-1" ] || { echo "Version: $(field Version)"; status=1; }
for name in Maintainer Section Description; do
  [ -n "$(field $name)" ] || { echo "no $name field"; status=1; }
done
# Every library that a shipped program links comes from a declared package.
dpkg-deb -x "$deb" "$scratch/root"
depends=$(field Depends)
declared=$(tr ',' '\n' <<<"$depends" | awk '{ print $1 }')
for binary in "$scratch"/root/usr/lib/toquelin/{updater,libjetdb_sqlite.so,libtqodbc.so} "$scratch"/root/usr/bin/jetsql; do
  for lib in $(objdump -p "$binary" | awk '/NEEDED/ { print $2 }'); do
    path=$(ldd "$binary" | awk -v l="$lib" '$1 == l { print $3; exit }')
    package=$(dpkg -S "$(readlink -f "$path")" 2>/dev/null | head -n 1 | cut -d: -f1 || true)
    [ -n "$package" ] || package=$(dpkg -S "$path" 2>/dev/null | head -n 1 | cut -d: -f1 || true)
    grep -qxF "$package" <<<"$declared" || { echo "$lib ($package) is not in Depends: $depends"; status=1; }
  done
done
# Debian's hardening: fortified functions and bindings made at start-up.
for binary in "$scratch"/root/usr/lib/toquelin/{updater,libtqodbc.so,odbc-driver-entry} "$scratch"/root/usr/bin/jetsql; do
  [ "$hardened" = ON ] || break
  # (grep -q on a pipe would end the writer early: pipefail calls that a failure)
  grep -qE 'BIND_NOW|FLAGS.*\bNOW\b' <<<"$(readelf -d "$binary")" || { echo "$binary: not linked with -z now"; status=1; }
  grep -qE '__[a-z_]+_chk\b' <<<"$(objdump -T "$binary")" || { echo "$binary: no fortified function"; status=1; }
done
# The ODBC driver goes into unixODBC's list on installation and when
# odbcinst or unixodbc-common arrive, and is taken back on removal.
dpkg-deb -e "$deb" "$scratch/control"
grep -q 'odbc-driver-entry" register' "$scratch/control/postinst" 2>/dev/null || { echo "no postinst registering the driver"; status=1; }
grep -q 'odbc-driver-entry" unregister' "$scratch/control/prerm" 2>/dev/null || { echo "no prerm unregistering the driver"; status=1; }
for path in /usr/bin/odbcinst /etc/odbc.ini; do
  grep -qxF "interest-noawait $path" "$scratch/control/triggers" 2>/dev/null || { echo "no trigger on $path"; status=1; }
done
info=$(dpkg-deb -I "$deb")
grep -q "^ Depends: " <<<"$info" || { echo "dpkg-deb -I shows no Depends:"; echo "$info"; status=1; }
exit $status
