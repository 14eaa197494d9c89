#!/usr/bin/env bash
# Peak memory and time of the real program on the databases whose size is
# not in their rows' bulk but in their shape: a million categories at the
# top of the tree, a chain a million levels deep, a category numbered
# 2,000,000,000, and the messy kitchen (each the sample plus gendb messy).
# Each case is converted from V2.0 to V2.5.3 by a fresh copy; the line
# printed gives its exit status, wall seconds and peak resident set
# (/usr/bin/time -v). The databases are built once into WORK (kept).
# Usage: bench/memory_cases.sh BUILD_DIR WORK [CASE...]
#   CASE: flat deep huge messy (all four unless told)
# UPDATER names another program to measure (an older build's, say) than
# BUILD_DIR's; TOOLS another build whose gendb and jetsql make the
# databases. Under a sanitizer build, ASAN_OPTIONS is taken from the
# environment, as the tests have it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$1" && pwd)
mkdir -p "$2"
work=$(cd "$2" && pwd)
shift 2
cases=("$@")
[ ${#cases[@]} -gt 0 ] || cases=(flat deep huge messy)
limit_mb=${LIMIT_MB:-200}

args_of() {
  case "$1" in
    flat) echo "--depth 1 --import-depth 1 --flat 1000000" ;;
    deep) echo "--depth 1000000 --import-depth 1" ;;
    huge) echo "--depth 1 --import-depth 1" ;;
    messy) echo "" ;;
    *) echo "memory_cases.sh: unknown case $1" >&2; exit 2 ;;
  esac
}

# The database of a case: the parts data/build_db.cmake puts into
# Messy_V20.mdb, piped straight into the driver's shell (a million rows of
# SQL are too much text for CMake to hold); the tools are the normal
# build's, whatever build is measured.
make_db() {
  local name=$1 out=$work/$1_V20.mdb tools=${TOOLS:-$build}
  [ -f "$out" ] && return 0
  # shellcheck disable=SC2046
  { cat "$root/data/common/langue.sql" "$root/data/v20/schema.sql" "$root/data/v20/reference.sql"
    "$tools/tools/gendb/gendb" labels --printer 1-107 --system 2-510 --revision 0
    cat "$root/data/v20/sample.sql"
    "$tools/tools/gendb/gendb" messy $(args_of "$name"); } |
    "$tools/tools/jetsql/jetsql" --create "$out.part" >/dev/null
  mv "$out.part" "$out"
}

registry=$work/registry
mkdir -p "$registry"
printf 'REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Norvane\\Toquelin\\tq2\\Path]\n"ExePath"="%s"\n' \
  "$build/templates" > "$registry/HKEY_LOCAL_MACHINE.reg"
printf 'REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Norvane\\Toquelin\\updater\\G\xc3\xa9n\xc3\xa9rale]\n"Debug"=dword:00000000\n' \
  > "$registry/HKEY_CURRENT_USER.reg"

over=0
for name in "${cases[@]}"; do
  args_of "$name" >/dev/null
  make_db "$name"
  run=$work/run_$name
  rm -rf "$run"
  mkdir -p "$run"
  cp "$work/${name}_V20.mdb" "$run/Base.mdb"
  status=0
  (cd "$run" && env UPDATER_REGISTRY="$registry" ODBCINI="$run/odbc.ini" /usr/bin/time -v -o "$run/time" \
    "${UPDATER:-$build/src/app/updater}" "/SRC=$run/Base.mdb" "/DEST=$run/Base_V253.mdb" </dev/null >"$run/out" 2>"$run/err") ||
    status=$?
  peak_kb=$(sed -n 's/.*Maximum resident set size (kbytes): //p' "$run/time")
  wall=$(sed -n 's/.*Elapsed (wall clock) time (h:mm:ss or m:ss): //p' "$run/time")
  printf '%-6s exit %d, wall %s, peak %d MB\n' "$name" "$status" "$wall" $((peak_kb / 1024))
  [ "$status" -eq 0 ] || { echo "  (journal and errors in $run)"; over=1; }
  [ $((peak_kb / 1024)) -le "$limit_mb" ] || over=1
done
exit $over
