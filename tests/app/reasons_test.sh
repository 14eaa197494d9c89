#!/usr/bin/env bash
# The one line a failed run writes on standard error names what the machine
# refused: a path longer than the storage engine takes, a full disk, the
# memory. Each through the real program; a case the machine cannot stage
# is skipped with a message.
# Usage: reasons_test.sh UPDATER_BINARY TEMPLATE_DIR SAMPLE_DB
set -uo pipefail
updater=$1 templates=$2 sample=$3
failed_code=232 # 1000 as a shell sees it

work=$(mktemp -d)
mounted=""
trap '[ -z "$mounted" ] || umount "$mounted"; rm -rf "$work"' EXIT
mkdir -p "$work/home"
"$(dirname "$0")/../../tools/registry.sh" "$work/registry" "$templates" >/dev/null
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# run ARGS...: the program, its status in $code, its standard error in $said.
run() {
  code=0
  said=$(cd "$work" && env HOME="$work/home" UPDATER_REGISTRY="$work/registry" ODBCINI="$work/home/odbc.ini" \
    timeout -k 5 120 "$updater" "$@" 2>&1 >/dev/null </dev/null) || code=$?
}

# The failure line: one, French, ending with exactly one full stop.
reason_line() {
  local line
  line=$(grep '^updater : ' <<<"$said" | grep -v '^updater : journal : ' | tail -n 1)
  [[ $line == *. && $line != *.. ]] || fail "$1: the line does not end with one full stop: $line"
  grep -Eiq 'terminate|what\(\)|bad_alloc|error|unable|no space|read-only file' <<<"$said" &&
    fail "$1: English on standard error: $said"
  printf '%s' "$line"
}

#-- a path at the engine's limit converts, one byte more is named ---------
deep="$work/$(printf 'd%.0s' {1..200})/$(printf 'e%.0s' {1..200})"
mkdir -p "$deep"
name() { printf '%s/%s' "$deep" "$(printf 'a%.0s' $(seq 1 $(($1 - ${#deep} - 1))))"; }
at_limit=$(name 504) over=$(name 505)
cp "$sample" "$at_limit"
cp "$sample" "$over"
run "/SRC=$at_limit"
[ "$code" -eq 0 ] || fail "a path of 504 bytes was refused ($code): $said"
run "/SRC=$over"
line=$(reason_line "long path")
[ "$code" -eq "$failed_code" ] || fail "long path: exit $code"
[[ $line == *"est trop long : 505 octets, le moteur de stockage en accepte 504 au plus." ]] ||
  fail "long path: the reason does not say the path is too long: $line"
cmp -s "$sample" "$over" || fail "long path: the source changed"
rm -rf "$deep"

#-- a disk that fills during a step -------------------------------------
mkdir -p "$work/full"
if [ "$(id -u)" -eq 0 ] && mount -t tmpfs -o size=1200k tmpfs "$work/full" 2>/dev/null; then
  mounted=$work/full
  run "/SRC=$sample" "/DEST=$work/full/B.mdb"
  line=$(reason_line "full disk")
  [ "$code" -eq "$failed_code" ] || fail "full disk: exit $code"
  [[ $line == *"échec de « "*" » : Espace insuffisant sur le disque du dossier '$work/full'"* ]] ||
    fail "full disk: the step's reason does not name the full disk: $line"
  umount "$work/full"
  mounted=""
else
  echo "full disk: skipped (mounting a small tmpfs needs root)"
fi

#-- memory running out at any moment of the run ---------------------------
# Under an address-space limit the run either converts or fails with the
# French reason, the failure's exit code, and the original in its backup.
cp "$sample" "$work/M.mdb"
limited=0
kbs="9000 10000 11000 12000 13000"
# The sanitizers reserve terabytes of address space at start and die
# without a word under a limit: such a build tells nothing here.
# Read whole first: under pipefail, grep -q leaving at the first match can
# kill ldd with SIGPIPE mid-list, and the test would then take a sanitizer
# build for a plain one.
libraries=$(ldd "$updater" 2>/dev/null || true)
if grep -q 'libasan\|libubsan' <<<"$libraries"; then
  echo "memory: skipped (a sanitizer build cannot run under a memory limit)"
  kbs=""
fi
for kb in $kbs; do
  rm -f "$work"/M.mdb* "$work/Updater.log"
  cp "$sample" "$work/M.mdb"
  code=0
  said=$(cd "$work" && ulimit -v "$kb" && env HOME="$work/home" UPDATER_REGISTRY="$work/registry" \
    ODBCINI="$work/home/odbc.ini" timeout -k 5 120 "$updater" "/SRC=$work/M.mdb" 2>&1 >/dev/null </dev/null) ||
    code=$?
  # A build that cannot even start under the limit (sanitizers reserve
  # terabytes) tells nothing.
  grep -q 'error while loading shared libraries\|AddressSanitizer\|ReserveShadowMemoryRange' <<<"$said" && continue
  limited=$((limited + 1))
  [ "$code" -eq 0 ] && continue
  line=$(reason_line "memory $kb KB")
  [ "$code" -eq "$failed_code" ] || fail "memory $kb KB: exit $code: $said"
  [[ $line == *"émoire insuffisante"* ]] || fail "memory $kb KB: the reason does not name the memory: $line"
  if [ -e "$work/M.mdb.V2.0" ]; then
    cmp -s "$sample" "$work/M.mdb.V2.0" || fail "memory $kb KB: the backup is not the original"
  else
    cmp -s "$sample" "$work/M.mdb" || fail "memory $kb KB: the source changed without a backup"
  fi
done
[ "$limited" -gt 0 ] || [ -z "$kbs" ] || echo "memory: skipped (this build does not start under a memory limit)"

[ "$failures" -eq 0 ] || exit 1
echo "reasons: all cases passed"
