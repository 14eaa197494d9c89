#!/usr/bin/env bash
# A kitchen's database in a shared folder, with another user of the group
# planting files beside it before and during the owner's (or root's) run:
# a group folder (2775) and a sticky one (1777), with fs.protected_symlinks
# as the machine has it. Two ordinary users are made when run as root; as
# anyone else the test is skipped. Every case checks that no file outside
# the database's own set is touched, that no planted row reaches any file,
# that no private byte lands in the folder, and that the original is intact
# in the file the standard-error line names (or in place when refused).
# Usage: shared_folder_test.sh UPDATER JETSQL TEMPLATE_DIR SAMPLE_DB [RACES]
set -uo pipefail
updater=$1 jetsql=$2 templates=$3 sample=$4 races=${5:-20}
if [ "$(id -u)" -ne 0 ] || ! command -v setpriv >/dev/null || ! command -v useradd >/dev/null; then
  echo "SKIP: needs root (and setpriv, useradd) to run as two ordinary users"
  exit 77
fi
owner=tqchef planter=tqplongeur group=tqcuisine
getent group $group >/dev/null || groupadd $group
for user in $owner $planter; do
  id $user >/dev/null 2>&1 || useradd -M -N -g $group -d /nonexistent -s /usr/sbin/nologin $user
done

scratch=$(mktemp -d)
cleanup() {
  jobs -p | xargs -r kill 2>/dev/null
  # The planter is a user of this test alone: whatever it still runs goes.
  pkill -KILL -u $planter 2>/dev/null
  sleep 0.3
  rm -rf "$scratch" 2>/dev/null || { sleep 1; rm -rf "$scratch"; }
}
# The planter's loops must not outlive the test, however it ends.
trap cleanup EXIT
trap 'exit 1' INT TERM HUP
chmod 755 "$scratch"
outside=$scratch/outside
mkdir "$outside"
echo "ligne de /etc/passwd" >"$outside/passwd"
echo "secret-de-root" >"$outside/secret"
chmod 600 "$outside/secret"
# Templates without the first step's: a run makes its lock, journal, backup
# and note, then stops at once (the races need many runs).
short=$scratch/short-templates
mkdir "$short"
cp "$templates"/tq2V2_*.mdb "$short/"
rm "$short/tq2V2_1.mdb"
chmod -R a+rX "$short" "$templates" 2>/dev/null || true

failures=0 checks=0
fail() {
  echo "FAIL [$case]: $*"
  failures=$((failures + 1))
}
ok() { checks=$((checks + 1)); }
outside_listing() { (cd "$outside" && stat -c '%n %s %Y %a %U' -- * && md5sum -- *); }
outside_before=$(outside_listing)

home_of() { echo "$scratch/home-$1"; }
for who in $owner root; do
  home=$(home_of $who)
  mkdir -p "$home"
  "$(dirname "$0")/../../tools/registry.sh" "$home/reg" "$templates"
  [ $who = root ] || chown -R $who:$group "$home"
  chmod 700 "$home"
done
# Runs the program as `who` (root or the owner); status in $code, standard
# error in $err.
run() {
  local who=$1
  shift
  local home as=()
  home=$(home_of "$who")
  [ "$who" = root ] || as=(setpriv --reuid="$who" --regid=$group --init-groups --)
  err=$("${as[@]}" env HOME="$home" UPDATER_REGISTRY="$home/reg" ODBCINI="$home/odbc.ini" UPDATER_LOCK_TIMEOUT=2 \
    "$updater" "$@" </dev/null 2>&1 >/dev/null)
  code=$?
}
as_planter() { setpriv --reuid=$planter --regid=$group --init-groups -- "$@"; }

# A fresh folder of that kind with the owner's database in it.
new_folder() {
  folder=$scratch/$kind-$RANDOM$RANDOM
  mkdir "$folder"
  chown root:$group "$folder"
  chmod "$mode" "$folder"
  cp "$sample" "$folder/Base.mdb"
  chown $owner:$group "$folder/Base.mdb"
  chmod 640 "$folder/Base.mdb"
  original=$(md5sum <"$folder/Base.mdb")
  original_at=$folder/Base.mdb
}

# What every case must leave true.
common_checks() {
  [ "$(outside_listing)" = "$outside_before" ] || fail "a file outside the folder changed"
  # The planter's own files hold its rows; no file of anyone else may.
  for f in $(grep -rla pirate "$folder" 2>/dev/null); do
    [ "$(stat -c %U "$f")" = $planter ] || fail "planted rows in $f"
  done
  grep -rlaq secret-de-root "$folder" && fail "a private byte landed in the folder"
  local kept
  kept=$(grep -o "la base d'origine est conservée dans [^ ]*[^.]" <<<"$err" | head -n 1 | sed 's/.* dans //')
  if [ -n "$kept" ]; then
    [ "$(md5sum <"$kept")" = "$original" ] || fail "the file the line names ($kept) is not the original"
    original_at=$kept
  elif [ $code -ne 0 ]; then
    [ "$(md5sum <"$original_at")" = "$original" ] || fail "refused, and $original_at is not the original: $err"
  fi
  ok
}

# A log of changes built on a copy of the owner's file by the planter.
planted_log() {
  as_planter cp "$folder/Base.mdb" "$folder/planque.mdb"
  as_planter /usr/bin/python3 - "$folder/planque.mdb" <<'PY'
import os, sqlite3, sys
db = sqlite3.connect(sys.argv[1], isolation_level=None)
db.execute("PRAGMA journal_mode=WAL")
db.execute("CREATE TABLE injecte (x)")
db.execute("INSERT INTO injecte VALUES ('pirate')")
os._exit(0)  # no close: the rows stay in the log
PY
  as_planter cp "$folder/planque.mdb-wal" "$folder/Base.mdb-wal"
  as_planter cp "$folder/planque.mdb-shm" "$folder/Base.mdb-shm"
  chmod 666 "$folder/Base.mdb-wal" "$folder/Base.mdb-shm"
}

for kind in group sticky; do
  case $kind in group) mode=2775 ;; sticky) mode=1777 ;; esac

  case="$kind: planted -wal/-shm pair, in place, as the owner"
  new_folder
  planted_log
  run $owner "/SRC=$folder/Base.mdb"
  [ $code -ne 0 ] && grep -qF "$folder/Base.mdb-wal" <<<"$err" || fail "not refused naming the log: $code $err"
  common_checks
  case="$kind: planted -wal/-shm pair, with DEST, as root"
  mkdir -p "$folder/out"
  run root "/SRC=$folder/Base.mdb" "/DEST=$folder/out/Base.mdb"
  [ $code -ne 0 ] && [ ! -e "$folder/out/Base.mdb" ] || fail "a copy was made: $code $err"
  common_checks
  case="$kind: planted -wal/-shm pair, jetsql"
  out=$(setpriv --reuid=$owner --regid=$group --init-groups -- "$jetsql" "$folder/Base.mdb" \
    "SELECT COUNT(*) FROM [Langue_System]" 2>&1)
  [ $? -ne 0 ] && grep -qF "Base.mdb-wal" <<<"$out" || fail "jetsql read it: $out"
  code=1 err=""
  common_checks

  case="$kind: planted note naming root's secret, root's run"
  new_folder
  as_planter sh -c "echo '$outside/secret' >'$folder/Base.mdb.reprise'"
  run root "/SRC=$folder/Base.mdb"
  grep -qF "Base.mdb.reprise est ignorée" <<<"$err" || fail "the note was not passed over: $err"
  common_checks
  case="$kind: planted note and backup of the planter's, the owner's run"
  new_folder
  planted_log
  rm -f "$folder/Base.mdb-wal" "$folder/Base.mdb-shm"
  as_planter cp "$folder/planque.mdb" "$folder/Base.mdb.V2.0"
  as_planter sh -c "printf 'sauvegarde=Base.mdb.V2.0\nempreinte-sauvegarde=1 1 1\n' >'$folder/Base.mdb.reprise'"
  chmod 600 "$folder/Base.mdb.reprise"
  run $owner "/SRC=$folder/Base.mdb"
  grep -qF "Base.mdb.reprise est ignorée" <<<"$err" || fail "the note was not passed over: $err"
  common_checks

  case="$kind: link as the database's lock, root's run"
  new_folder
  as_planter ln -s "$outside/created-by-root" "$folder/Base.mdb.lock"
  run root "/SRC=$folder/Base.mdb"
  [ $code -ne 0 ] && grep -qF "le verrou $folder/Base.mdb.lock est un lien" <<<"$err" || fail "not refused: $err"
  common_checks

  case="$kind: dangling link at the backup name"
  new_folder
  as_planter ln -s "$outside/nowhere" "$folder/Base.mdb.V2.0"
  run $owner "/SRC=$folder/Base.mdb"
  [ $code -eq 0 ] && [ "$(md5sum <"$folder/Base.mdb.V2.0.1")" = "$original" ] || fail "not passed over: $code $err"
  common_checks

  case="$kind: a private database gives a private backup"
  new_folder
  chmod 600 "$folder/Base.mdb"
  run $owner "/SRC=$folder/Base.mdb"
  [ "$(stat -c %a "$folder/Base.mdb.V2.0")" = 600 ] || fail "backup mode $(stat -c %a "$folder/Base.mdb.V2.0")"
  common_checks

  # Links swapped in and out at every name the run creates, while root's
  # run (which could write anywhere) goes.
  for name in Base.mdb.lock Updater.log Base.mdb.V2.0 Base.mdb.reprise Base.mdb.inachevee; do
    case="$kind: $name swapped for a link, $races runs"
    for ((n = 0; n < races; n++)); do
      new_folder
      # In a sticky folder the planter can only remove its own links; in a
      # group folder it may delete anyone's files, which no program can
      # prevent, so there it plants a link whenever the name is free and
      # leaves what the run put there.
      remove="rm -f '$folder/$name'"
      [ $kind = group ] && remove=:
      # setpriv itself in the background (not a function around it), so
      # that $! is the loop and the kill below reaches it.
      setpriv --reuid=$planter --regid=$group --init-groups -- sh -c "while :; do ln -s '$outside/passwd' '$folder/$name' 2>/dev/null; $remove; done" &
      swapper=$!
      home=$(home_of root)
      "$(dirname "$0")/../../tools/registry.sh" "$home/reg" "$short"
      # A first run that stops half way, a second that resumes from it.
      run root "/SRC=$folder/Base.mdb"
      common_checks
      run root "/SRC=$folder/Base.mdb"
      common_checks
      kill $swapper
      wait $swapper 2>/dev/null
    done
  done
  "$(dirname "$0")/../../tools/registry.sh" "$(home_of root)/reg" "$templates"
done
echo "shared folders: $checks checks, $failures failures (fs.protected_symlinks=$(cat /proc/sys/fs/protected_symlinks))"
[ $failures -eq 0 ]
