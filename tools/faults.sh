#!/usr/bin/env bash
# Runs the real `updater` of a build tree through what goes wrong on a
# user's machine: kill -9 at random moments, full and read-only disks, bad
# databases and templates, bad settings files, several runs at once. Every
# database file left behind must pass `jetsql --check`, no source is changed,
# and a failure is a clean exit 1000 with a French reason, never a crash or
# a hang.
#
# Usage: tools/faults.sh --short|--long BUILD_DIR [SEED]
#   --short  under two minutes, on the sample (CTest runs it)
#   --long   by hand: 100 kills on the large database and 100 on the sample,
#            and the planted-file cases of two users (as root), raced 20 times
# SEED (default: the clock) drives every random choice; it is printed first
# so that a failing run can be repeated exactly.
set -euo pipefail

usage() {
  echo "Usage: $0 --short|--long BUILD_DIR [SEED]" >&2
  exit 2
}
[ $# -ge 2 ] || usage
mode=$1
case $mode in --short | --long) ;; *) usage ;; esac
build=$(cd "$2" && pwd)
seed=${3:-$(date +%s)}
RANDOM=$seed
echo "faults.sh $mode, seed $seed (repeat: $0 $mode $2 $seed)"

root=$(cd "$(dirname "$0")/.." && pwd)
updater=$build/src/app/updater
jetsql=$build/tools/jetsql/jetsql
templates=$build/templates
sample=$templates/Exemple_V20.mdb
large=$build/large/Grande_V20.mdb
reached=2.5.3.459
failed_code=232 # 1000 as a shell sees it
for f in "$updater" "$jetsql" "$sample"; do
  [ -e "$f" ] || {
    echo "missing $f: build the tree first" >&2
    exit 2
  }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/faults.XXXXXX")
mounts=()
cleanup() {
  local m
  for m in "${mounts[@]}"; do umount "$m" 2>/dev/null || true; done
  chmod -R u+rwX "$work" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

kills=0 kill_bad=0 cases=0 cases_bad=0 inputs=0 inputs_bad=0 concurrent=0 concurrent_bad=0
problems=()
# fail COUNTER MESSAGE: records a problem against the counter's group.
fail() {
  problems+=("$2")
  echo "ÉCHEC : $2" >&2
  printf -v "$1" '%d' $((${!1} + 1))
}

is_root() { [ "$(id -u)" -eq 0 ]; }

# A case folder: a private registry (Debug on, a template folder), a private
# HOME and data-source file, so nothing of the user's settings is touched.
new_case() {
  local dir=$work/$1 tpl=${2:-$templates}
  rm -rf "$dir"
  mkdir -p "$dir/home" "$dir/out"
  "$root/tools/registry.sh" "$dir/registry" "$tpl"
  echo "$dir"
}

# run CASE_DIR [ENV=VALUE...] -- ARGS...: the program under `timeout`, its
# status in $code, its standard error in CASE_DIR/stderr.
run() {
  local dir=$1
  shift
  local envs=()
  while [ "$1" != -- ]; do
    envs+=("$1")
    shift
  done
  shift
  code=0
  (cd "$dir" && env HOME="$dir/home" UPDATER_REGISTRY="$dir/registry" ODBCINI="$dir/home/odbc.ini" \
    UPDATER_LOCK_TIMEOUT=30 "${envs[@]}" timeout -k 5 60 "$updater" "$@" </dev/null >"$dir/stdout" 2>"$dir/stderr") ||
    code=$?
}

version() { "$jetsql" --csv "$1" "SELECT [Langue_1] FROM [Langue_System] WHERE [Libelle]='IDS_VERSION_DB'" 2>/dev/null | tail -n 1; }
checks() { [ "$("$jetsql" --check "$1" 2>&1)" = OK ]; }

# A data-source file reads as sections of key=value lines.
ini_well_formed() {
  [ ! -e "$1" ] || awk '/^[ \t]*$/ || /^[;#]/ || /^\[[^]]+\][ \t]*$/ || /^[^=\[]+=/ { next } { bad = 1 } END { exit bad }' "$1"
}

# The run failed as it should: exit 1000 and one French reason on stderr,
# no English system or SQLite message.
clean_failure() {
  local dir=$1
  [ "$code" -eq "$failed_code" ] && grep -q '^updater : ' "$dir/stderr" &&
    ! grep -Eiq 'no such|denied|read-only file|no space|disk is full|is a directory|too many levels|input/output|file exists|not a database|malformed|error' "$dir/stderr"
}

# Exit 0 or a clean failure; anything else is a crash or a hang.
no_crash() { [ "$code" -eq 0 ] || clean_failure "$1"; }

# Every database file the run left in FOLDER opens and passes .check. A
# killed writer leaves logs that only the next writer plays back (a
# read-only open of a hot rollback journal calls the file unknown): each
# file is checked on a copy, with its logs, that a writer opened first.
files_check() {
  local f ok=0 log
  for f in "$1"/*.mdb "$1"/*.mdb.V*; do
    [ -f "$f" ] || continue
    rm -f "$work/recovered.mdb"*
    for log in "" -journal -wal -shm; do [ ! -e "$f$log" ] || cp "$f$log" "$work/recovered.mdb$log"; done
    "$jetsql" "$work/recovered.mdb" ".tables" >/dev/null 2>&1 || true
    checks "$work/recovered.mdb" || {
      echo "  $f fails .check: $("$jetsql" --check "$f" 2>&1 | head -n 3)" >&2
      ok=1
    }
  done
  return $ok
}

# The program's one-line reason, or the end of what it wrote.
reason() { grep -ah '^updater : \|ERREUR' "$@" | head -n 3 || tail -c 300 "$1"; }

ms_now() { echo $(($(date +%s%N) / 1000000)); }

# A random byte string, from the seed, for files of random bytes.
random_bytes() { perl -e 'srand(shift); print map { chr(int(rand(256))) } 1 .. shift' "$1" "$2"; }

#-- kill -9 -------------------------------------------------------------------
# KILLS runs of DB, killed at spread moments of a measured run plus jitter,
# alternately with /DEST= and in place.
kill_runs() {
  local db=$1 n=$2 label=$3 dir start took i dest delay pid src
  dir=$(new_case "measure")
  cp "$db" "$dir/Base.mdb"
  start=$(ms_now)
  run "$dir" -- "/SRC=$dir/Base.mdb" "/DEST=$dir/out/Base.mdb"
  took=$(($(ms_now) - start))
  [ "$code" -eq 0 ] || fail kill_bad "$label: the measured run failed ($code): $(reason "$dir/stderr")"
  echo "kill -9: $n runs of $label (a whole run takes $took ms)"
  for ((i = 0; i < n; ++i)); do
    dir=$(new_case "kill")
    src=$dir/Base.mdb
    cp "$db" "$src"
    dest=()
    [ $((i % 2)) -eq 0 ] && dest=("/DEST=$dir/out/Base.mdb")
    # Fractions spread over 0..110 % of the run, each with its jitter.
    delay=$(((took * (i * 110 / n) + took * (RANDOM % (110 / n + 1))) / 100))
    (cd "$dir" && exec env HOME="$dir/home" UPDATER_REGISTRY="$dir/registry" ODBCINI="$dir/home/odbc.ini" \
      "$updater" "/SRC=$src" "${dest[@]}" </dev/null >/dev/null 2>&1) &
    pid=$!
    sleep "$(printf '%d.%03d' $((delay / 1000)) $((delay % 1000)))"
    kill -9 "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    kills=$((kills + 1))
    local what="$label kill $i at ${delay} ms ${dest[*]:+with DEST}"
    { files_check "$dir" && files_check "$dir/out"; } || fail kill_bad "$what: a file fails .check"
    if [ ${#dest[@]} -gt 0 ]; then
      cmp -s "$db" "$src" || fail kill_bad "$what: the source changed"
    elif [ -e "$src.V2.0" ]; then
      cmp -s "$db" "$src.V2.0" || fail kill_bad "$what: the backup is not the original"
    fi
    ini_well_formed "$dir/home/odbc.ini" || fail kill_bad "$what: odbc.ini malformed"
    # The next run finishes the work, the killed one's lock and data
    # sources notwithstanding.
    run "$dir" UPDATER_LOCK_TIMEOUT=2 -- "/SRC=$src" "${dest[@]}"
    local out=$src
    [ ${#dest[@]} -eq 0 ] || out=$dir/out/Base.mdb
    if [ "$code" -ne 0 ] || [ "$(version "$out")" != "$reached" ]; then
      fail kill_bad "$what: the next run gave $code, version '$(version "$out")': $(reason "$dir/stderr")"
    fi
    if [ -e "$dir/home/odbc.ini" ] && grep -q TQ2TMP "$dir/home/odbc.ini"; then
      fail kill_bad "$what: data sources left after the next run"
    fi
    [ ${#dest[@]} -eq 0 ] || cmp -s "$db" "$src" || fail kill_bad "$what: the next run changed the source"
  done
}

#-- full, read-only and missing destinations -------------------------------
# The source outside, the destination in FOLDER: a clean failure leaves the
# source as it was and no DEST that fails .check; a success is converted.
dest_case() {
  local dir=$1 folder=$2 what=$3
  cases=$((cases + 1))
  run "$dir" -- "/SRC=$dir/Base.mdb" "/DEST=$folder/Base.mdb"
  cmp -s "$sample" "$dir/Base.mdb" || fail cases_bad "$what: the source changed"
  # Read where there is room: even a read needs its index file.
  rm -f "$dir/result.mdb"
  # A run that failed for room may have left its log beside the file: the
  # database is the file with its log, as the next open recovers it.
  local log
  for log in "" -wal -shm; do
    rm -f "$dir/result.mdb$log"
    [ ! -e "$folder/Base.mdb$log" ] || cp "$folder/Base.mdb$log" "$dir/result.mdb$log"
  done
  if [ "$code" -eq 0 ]; then
    { [ "$(version "$dir/result.mdb")" = "$reached" ] && checks "$dir/result.mdb"; } ||
      fail cases_bad "$what: success without a converted file (version $(version "$dir/result.mdb"))"
  elif clean_failure "$dir"; then
    [ ! -e "$dir/result.mdb" ] || checks "$dir/result.mdb" || fail cases_bad "$what: a half-written file is left"
  else
    fail cases_bad "$what: exit $code, $(reason "$dir/stderr")"
  fi
}

disk_cases() {
  local dir size sizes=() kb sample_kb out_kb
  dir=$(new_case "disk")
  cp "$sample" "$dir/Base.mdb"
  mkdir -p "$dir/ro"
  dest_case "$dir" "$dir/absent/folder" "a destination folder that does not exist"
  grep -q 'introuvable' "$dir/stderr" || fail cases_bad "missing folder: the reason does not say so: $(reason "$dir/stderr")"
  if ! is_root; then
    chmod 555 "$dir/ro"
    dest_case "$dir" "$dir/ro" "a read-only destination folder"
  elif mount -t tmpfs -o size=1m tmpfs "$dir/ro" 2>/dev/null; then
    mounts+=("$dir/ro")
    mount -o remount,ro "$dir/ro"
    dest_case "$dir" "$dir/ro" "a destination on a read-only file system"
  fi
  if ! is_root; then
    echo "full disk: skipped (mounting a small tmpfs needs root)"
    return
  fi
  # Sizes around the sample's and the converted file's: the copy, the
  # structure phase and the data phase each run out of room.
  run "$dir" -- "/SRC=$dir/Base.mdb" "/DEST=$dir/out/Base.mdb"
  sample_kb=$(($(stat -c %s "$sample") / 1024))
  out_kb=$(($(du -sk "$dir/out" | cut -f1) + 1))
  sizes=($((sample_kb / 2)) $((sample_kb + 8)))
  local steps=6
  [ "$mode" = --short ] || steps=24
  for ((i = 1; i <= steps; ++i)); do sizes+=($((sample_kb + (out_kb * 2 - sample_kb) * i / steps + RANDOM % 16))); done
  for kb in "${sizes[@]}"; do
    mkdir -p "$dir/full"
    mount -t tmpfs -o "size=${kb}k" tmpfs "$dir/full" || {
      echo "full disk: skipped (tmpfs refused)"
      return
    }
    mounts+=("$dir/full")
    dest_case "$dir" "$dir/full" "a ${kb} KB disk"
    umount "$dir/full"
    unset 'mounts[-1]'
  done
}

#-- bad databases and templates -----------------------------------------------
# make_bad KIND PATH: writes a bad file of that kind at PATH.
bad_kinds=(empty random corrupted truncated-header truncated-half truncated-end other-program no-table no-column
  folder fifo link-loop)
make_bad() {
  local kind=$1 path=$2 size
  rm -rf "$path"
  size=$(stat -c %s "$sample")
  case $kind in
  empty) : >"$path" ;;
  random) random_bytes "$RANDOM" 65536 >"$path" ;;
  corrupted)
    cp "$sample" "$path"
    random_bytes "$RANDOM" 4096 | dd of="$path" bs=1 seek=$((4096 * (1 + RANDOM % (size / 4096 - 1)))) conv=notrunc status=none
    ;;
  truncated-header) head -c 100 "$sample" >"$path" ;;
  truncated-half) head -c $((size / 2)) "$sample" >"$path" ;;
  truncated-end) head -c $((size - 4096)) "$sample" >"$path" ;;
  other-program) sqlite3 "$path" "CREATE TABLE t(a, b); INSERT INTO t VALUES (1, 'x');" ;;
  no-table)
    cp "$sample" "$path"
    "$jetsql" "$path" "DROP TABLE [Progression]" >/dev/null
    ;;
  no-column)
    cp "$sample" "$path"
    "$jetsql" "$path" "ALTER TABLE [Recettes] DROP COLUMN [CODE_AN]" >/dev/null
    ;;
  folder) mkdir "$path" ;;
  fifo) mkfifo "$path" ;;
  link-loop) ln -s "$path" "$path" ;;
  esac
}

# Fingerprint of a path whatever it is, to tell it was left as it was. A
# last line without its line end may have gained one: our section went
# after it, and nothing tells the removal that the end was not there.
fingerprint() {
  if [ -f "$1" ] && [ ! -L "$1" ]; then
    { cat "$1"; [ ! -s "$1" ] || [ "$(tail -c 1 "$1" | od -An -tx1 | tr -d ' ')" = 0a ] || echo; } | sha1sum
  else
    stat -c '%F %s' "$1" 2>&1
  fi
}

bad_input() {
  local dir=$1 path=$2 kind=$3 what=$4
  shift 4
  local before
  before=$(fingerprint "$path")
  inputs=$((inputs + 1))
  rm -f "$dir/Updater.log" "$dir/out/Updater.log" "$path.V2.0"
  rm -f "$dir/out/Base.mdb" "$dir/Base.mdb.reprise"
  run "$dir" -- "$@"
  local result=$dir/Base.mdb
  [ "${2:-}" = "" ] || result=$dir/out/Base.mdb
  if [ "$code" -eq 0 ]; then
    # A damaged page, a table or a column that the run never reads harms
    # nothing; the result must still be whole.
    { [[ $kind =~ ^(corrupted|no-table|no-column)$ ]] && [ "$(version "$result")" = "$reached" ] && checks "$result"; } ||
      fail inputs_bad "$what: converted a bad file"
  elif ! clean_failure "$dir"; then
    fail inputs_bad "$what: exit $code, $(reason "$dir/stderr")"
  fi
  # In place, a recognised database is backed up before it is touched.
  [ "$(fingerprint "$path")" = "$before" ] || [ "$(fingerprint "$path.V2.0")" = "$before" ] ||
    fail inputs_bad "$what: the file changed"
  # A damaged source gives a copy as damaged as itself, not a worse one.
  [ ! -f "$dir/out/Base.mdb" ] || checks "$dir/out/Base.mdb" || [ "$kind" = corrupted ] ||
    fail inputs_bad "$what: a DEST fails .check"
  # A journal line says what went wrong.
  local log=$dir/out/Updater.log
  [ -f "$log" ] || log=$dir/Updater.log
  [ "$code" -ne "$failed_code" ] || grep -aq 'ERREUR\|ATTENTION\|Erreur\|impossible' "$log" 2>/dev/null ||
    fail inputs_bad "$what: no journal line says why"
}

bad_files() {
  local dir kind tpl victim
  for kind in "${bad_kinds[@]}"; do
    [ "$kind" != other-program ] || command -v sqlite3 >/dev/null || continue
    dir=$(new_case "bad-$kind")
    make_bad "$kind" "$dir/Base.mdb"
    bad_input "$dir" "$dir/Base.mdb" "$kind" "SRC $kind with DEST" "/SRC=$dir/Base.mdb" "/DEST=$dir/out/Base.mdb"
    # --short takes one of the two other forms at random.
    local form=$((RANDOM % 2))
    if [ "$mode" = --long ] || [ $form -eq 0 ]; then
      bad_input "$dir" "$dir/Base.mdb" "$kind" "SRC $kind in place" "/SRC=$dir/Base.mdb"
    fi
    [ "$mode" = --long ] || [ $form -eq 1 ] || continue
    # The same as one template, picked at random, of a private folder.
    tpl=$dir/templates
    mkdir -p "$tpl"
    cp "$templates"/tq2V2_*.mdb "$tpl/"
    local names=("$tpl"/tq2V2_*.mdb)
    victim=${names[RANDOM % ${#names[@]}]}
    make_bad "$kind" "$victim"
    "$root/tools/registry.sh" "$dir/registry" "$tpl"
    cp "$sample" "$dir/src.mdb"
    bad_input "$dir" "$victim" "$kind" "template $(basename "$victim") $kind" "/SRC=$dir/src.mdb" "/DEST=$dir/out/Base.mdb"
    cmp -s "$sample" "$dir/src.mdb" || fail inputs_bad "template $kind: the source changed"
  done
}

#-- bad settings ---------------------------------------------------------------
# settings_case DIR WHAT FILE: a run with a bad settings FILE ends cleanly
# or converts, and leaves FILE as it was.
settings_case() {
  local dir=$1 what=$2 file=$3 before
  before=$(fingerprint "$file")
  inputs=$((inputs + 1))
  cp "$sample" "$dir/Base.mdb"
  run "$dir" -- "/SRC=$dir/Base.mdb" "/DEST=$dir/out/Base.mdb"
  no_crash "$dir" || fail inputs_bad "$what: exit $code, $(reason "$dir/stderr")"
  [ "$(fingerprint "$file")" = "$before" ] || fail inputs_bad "$what: the file changed"
  if [ "$code" -eq 0 ]; then
    [ "$(version "$dir/out/Base.mdb")" = "$reached" ] || fail inputs_bad "$what: success without a converted file"
  fi
  files_check "$dir/out" || fail inputs_bad "$what: a DEST fails .check"
}

bad_settings() {
  local dir hive kind ini
  local hives=(HKEY_CURRENT_USER HKEY_LOCAL_MACHINE)
  for kind in random binary-header no-header truncated long-line folder fifo; do
    # --short: each kind on one hive, picked at random.
    local pick=("${hives[@]}")
    [ "$mode" = --long ] || pick=("${hives[RANDOM % 2]}")
    for hive in "${pick[@]}"; do
      dir=$(new_case "hive")
      local file=$dir/registry/$hive.reg
      case $kind in
      random) random_bytes "$RANDOM" 4096 >"$file" ;;
      binary-header) { printf 'REGEDIT4\n\n[HKEY_'; random_bytes "$RANDOM" 512; } >"$file" ;;
      no-header) sed 1d -i "$file" ;;
      truncated) head -c $((RANDOM % $(stat -c %s "$file"))) "$file" >"$file.t" && mv "$file.t" "$file" ;;
      long-line) { printf 'REGEDIT4\n\n[HKEY_X]\n"A"="'; head -c 1000000 /dev/zero | tr '\0' x; } >"$file" ;;
      folder) rm "$file" && mkdir "$file" ;;
      fifo) rm "$file" && mkfifo "$file" ;;
      esac
      settings_case "$dir" "hive $hive $kind" "$file"
    done
  done
  # Data-source files: each case keeps its other sections.
  local other=$'[ODBC Data Sources]\nPaie=Autre\n\n[Paie]\nDriver=Autre\nDatabase=/srv/paie\n'
  for kind in folder garbage binary no-newline duplicate stale long-line unreadable; do
    dir=$(new_case "ini")
    ini=$dir/home/odbc.ini
    case $kind in
    folder) mkdir "$ini" ;;
    garbage) printf '%s\nune ligne sans égal\n[section sans fin\n=valeur sans clé\n' "$other" >"$ini" ;;
    binary) { printf '%s' "$other"; random_bytes "$RANDOM" 256; } >"$ini" ;;
    no-newline) printf '%s[Compta]\nDriver=Autre' "$other" >"$ini" ;;
    duplicate) printf '%s%s[TQ2TMP]\nDriver=Autre\n' "$other" "$other" >"$ini" ;;
    stale) printf '%s\n[TQ2TMP]\nDriver=Microsoft Access Driver (*.mdb)\nDBQ=/x.mdb\n' "$other" >"$ini" ;;
    long-line) { printf '%s[Long]\nDriver=' "$other"; head -c 1000000 /dev/zero | tr '\0' y; echo; } >"$ini" ;;
    unreadable)
      if is_root; then
        echo "unreadable data-source file: skipped (root reads it anyway)"
        continue
      fi
      printf '%s' "$other" >"$ini"
      chmod 000 "$ini"
      ;;
    esac
    local keep
    keep=$(grep -c 'Paie' "$ini" 2>/dev/null || true)
    if [ "$kind" = stale ] || [ "$kind" = duplicate ]; then
      # The program removes its own names: only the other sections must stay.
      inputs=$((inputs + 1))
      cp "$sample" "$dir/Base.mdb"
      run "$dir" -- "/SRC=$dir/Base.mdb" "/DEST=$dir/out/Base.mdb"
      no_crash "$dir" || fail inputs_bad "odbc.ini $kind: exit $code, $(reason "$dir/stderr")"
      [ "$(grep -c 'Paie' "$ini")" = "$keep" ] || fail inputs_bad "odbc.ini $kind: other sections lost"
    else
      settings_case "$dir" "odbc.ini $kind" "$ini"
    fi
  done
}

#-- several runs at once ---------------------------------------------------------
# together N SAME_FILE SHARED_INI: N runs started at once.
together() {
  local n=$1 same=$2 shared=$3 dir i pids=() codes=() what
  what="$n runs at once, $([ "$same" = 1 ] && echo "one file in place" || echo "their own files"), $([ "$shared" = 1 ] && echo "one" || echo "their own") data-source file"
  dir=$(new_case "together")
  cp "$sample" "$dir/Base.mdb"
  for ((i = 0; i < n; ++i)); do
    local src=$dir/Base.mdb ini=$dir/home/odbc.ini args
    if [ "$same" = 1 ]; then
      args=("/SRC=$src")
    else
      cp "$sample" "$dir/Base$i.mdb"
      args=("/SRC=$dir/Base$i.mdb" "/DEST=$dir/out/Base$i.mdb")
    fi
    [ "$shared" = 1 ] || ini=$dir/home/odbc$i.ini
    (cd "$dir" && exec env HOME="$dir/home" UPDATER_REGISTRY="$dir/registry" ODBCINI="$ini" timeout -k 5 120 \
      "$updater" "${args[@]}" </dev/null >"$dir/stdout$i" 2>"$dir/stderr$i") &
    pids+=($!)
  done
  local ok=0
  for ((i = 0; i < n; ++i)); do
    code=0
    wait "${pids[i]}" || code=$?
    codes+=("$code")
    concurrent=$((concurrent + 1))
    if [ "$code" -eq 0 ]; then
      ok=$((ok + 1))
    elif [ "$code" -ne "$failed_code" ] || ! grep -q '^updater : ' "$dir/stderr$i"; then
      fail concurrent_bad "$what: run $i exit $code, $(reason "$dir/stderr$i")"
    fi
  done
  [ "$ok" -gt 0 ] || fail concurrent_bad "$what: no run succeeded: $(reason "$dir"/stderr*)"
  { files_check "$dir" && files_check "$dir/out"; } || fail concurrent_bad "$what: a file fails .check"
  if [ "$same" = 1 ]; then
    [ "$(version "$dir/Base.mdb")" = "$reached" ] || fail concurrent_bad "$what: not converted"
    # Converted once: one backup, the original.
    cmp -s "$sample" "$dir/Base.mdb.V2.0" || fail concurrent_bad "$what: the backup is not the original"
    [ ! -e "$dir/Base.mdb.V2.0.1" ] || fail concurrent_bad "$what: converted twice (two backups)"
  else
    for ((i = 0; i < n; ++i)); do
      [ "${codes[i]}" -ne 0 ] || [ "$(version "$dir/out/Base$i.mdb")" = "$reached" ] ||
        fail concurrent_bad "$what: run $i succeeded without a converted file"
    done
  fi
}

concurrency() {
  local n same shared
  for n in 2 3; do
    for same in 0 1; do
      for shared in 1 0; do
        # --short: three at once only on one file, each with its settings.
        [ "$mode" = --long ] || [ "$n" = 2 ] || { [ "$same" = 1 ] && [ "$shared" = 0 ]; } || continue
        together "$n" "$same" "$shared"
      done
    done
  done
}

#-- files planted beside the database by another user --------------------------
# Two users of a group folder and of a sticky folder (tests/app/shared_folder_test.sh):
# planted logs, notes, backups and lock links, and links swapped in at every
# name a run creates, each raced `races` times.
planted=0 planted_bad=0
planted_files() {
  local races=$1 out
  out=$("$root/tests/app/shared_folder_test.sh" "$updater" "$jetsql" "$templates" "$sample" "$races" 2>&1)
  local status=$?
  if [ $status -eq 77 ]; then
    echo "planted files: skipped (${out#SKIP: })"
    return
  fi
  planted=$(sed -n 's/^shared folders: \([0-9]*\) checks, \([0-9]*\) failures.*/\1/p' <<<"$out")
  planted_bad=$(sed -n 's/^shared folders: \([0-9]*\) checks, \([0-9]*\) failures.*/\2/p' <<<"$out")
  [ -n "$planted" ] || planted=0 planted_bad=1
  [ $status -eq 0 ] || while IFS= read -r line; do
    case $line in FAIL*) problems+=("$line") ;; esac
  done <<<"$out"
  [ $status -eq 0 ] || [ ${#problems[@]} -gt 0 ] || problems+=("planted files: $out")
}

#-- the run ------------------------------------------------------------------
if [ "$mode" = --long ]; then
  [ -e "$large" ] || {
    echo "missing $large: cmake --build $2 --target reference_large" >&2
    exit 2
  }
  kill_runs "$large" 100 "the large database"
  kill_runs "$sample" 100 "the sample"
else
  kill_runs "$sample" 10 "the sample"
fi
disk_cases
bad_files
bad_settings
concurrency
[ "$mode" = --long ] && planted_files 20

echo "kill points tried: $kills / files failing .check or runs not finished after: $kill_bad"
echo "fault cases: $cases / files lost or changed: $cases_bad"
echo "bad inputs tried: $inputs / crashes, hangs or unclean failures: $inputs_bad"
echo "runs at once: $concurrent / failures: $concurrent_bad"
[ "$mode" = --long ] && echo "planted-file checks: $planted / files touched, rows injected or originals lost: $planted_bad"
if [ ${#problems[@]} -gt 0 ]; then
  echo "${#problems[@]} problem(s), seed $seed:"
  printf '  %s\n' "${problems[@]}"
  exit 1
fi
echo "OK"
