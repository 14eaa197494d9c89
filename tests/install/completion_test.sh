#!/usr/bin/env bash
# The bash completion of both programs: it offers every option that each
# program's usage lists, and completes options and files in an interactive
# bash (at a pseudo-terminal, keys typed, tab included), for the Windows
# forms (/SRC=FILE) as for the GNU ones (--src FILE, --src=FILE).
# Usage: completion_test.sh COMPLETION_FILE UPDATER JETSQL
set -euo pipefail
completion=$(realpath "$1") updater=$2 jetsql=$3
command -v script >/dev/null || { echo "script (util-linux) is not installed"; exit 77; }
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
status=0
fail() { echo "FAIL: $*"; status=1; }

# What the completion offers for a word, as bash would ask it.
offers() {
  bash -c 'source "$1"; shift; COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1))
    _toquelin_complete "$1" "${COMP_WORDS[-1]}" "${COMP_WORDS[-2]:-}" 2>/dev/null; printf "%s\n" "${COMPREPLY[@]}"' \
    _ "$completion" "$@"
}
for program in updater jetsql; do
  case $program in
    updater) usage=$("$updater" --help) ;;
    jetsql) usage=$("$jetsql" --help) ;;
  esac
  known=$(offers $program -; offers $program /)
  for option in $(grep -oE -- '(--[a-z][a-z-]*|/[A-Z]+=)' <<<"$usage" | sort -u); do
    grep -qxF -- "$option" <<<"$known" || fail "$program: the completion does not offer $option (its usage lists it)"
  done
done

# Keys typed into an interactive bash where both programs print their
# arguments: "<arg>" each.
cd "$scratch"
touch Base.mdb Autre.mdb 'Avec espace.mdb'
mkdir sous
session() {
  printf 'source %q\nupdater() { printf "<%%s>" "$@"; echo; }\njetsql() { updater "$@"; }\n%s\nexit\n' "$completion" "$1" |
    timeout 20 script -qec "env -i TERM=dumb PATH=$PATH HOME=$scratch bash --noprofile --norc -i" /dev/null 2>&1 |
    tr -d '\r' | grep -E '^<' | tail -n 1
}
expect() {
  local typed=$1 wanted=$2 got
  got=$(session "$typed")
  [ "$got" = "$wanted" ] || fail "typed $(printf %q "$typed"): got '$got', wanted '$wanted'"
}
expect $'updater /sr\tBa\t' '</SRC=Base.mdb>'
expect $'updater -Src=Au\t' '<-Src=Autre.mdb>'
expect $'updater /SRC=Base.mdb /DE\tso\tx.mdb' '</SRC=Base.mdb></DEST=sous/x.mdb>'
expect $'updater --inf\t/SRC=Ba\t' '<--info></SRC=Base.mdb>'
expect $'updater --src Av\t --dest=so\t' '<--src><Avec espace.mdb><--dest=sous/>'
expect $'jetsql --chec\tBa\t' '<--check><Base.mdb>'
expect $'jetsql --csv Au\t .tables' '<--csv><Autre.mdb><.tables>'
exit $status
