#!/usr/bin/env bash
# jetsql at a real terminal (tmux runs it, capture-pane reads the screen,
# send-keys types): Ctrl-C cancels a long statement and keeps the prompt,
# drops a half-typed line, leaves no log files at exit; the history comes
# back in the next session; a file the user may only read answers queries.
# Usage: jetsql_terminal_test.sh JETSQL
set -euo pipefail
jetsql=$1
command -v tmux >/dev/null || { echo "tmux missing: tools/setup.sh installs it"; exit 1; }
tmp=$(mktemp -d)
chmod 755 "$tmp"
run=0
sock=jetsql-test-$$-0
trap 'tmux -L "$sock" kill-server 2>/dev/null || true; rm -rf "$tmp"' EXIT
home=$tmp/home
mkdir "$home"
db=$tmp/g.mdb

# 2048 rows: a cross join of three copies is billions of rows, minutes of
# work that only Ctrl-C ends within the test's time.
{
  echo "CREATE TABLE [G] ([n] LONG);"
  echo "INSERT INTO [G] ([n]) VALUES (1);"
  for _ in $(seq 11); do echo "INSERT INTO [G] ([n]) SELECT [n] FROM [G];"; done
} | "$jetsql" --create "$db"

screen() { tmux -L "$sock" capture-pane -p -S -100; }
fail() { echo "FAIL: $1; the screen was:"; screen; exit 1; }
wait_for() {
  for _ in $(seq 100); do
    if screen | grep -qF -- "$1"; then return 0; fi
    sleep 0.1
  done
  fail "'$1' never appeared"
}
# tmux reads a trailing ';' as its own separator: it is typed escaped.
type_line() {
  tmux -L "$sock" send-keys -l -- "${1%;}"
  if [ "${1: -1}" = ";" ]; then tmux -L "$sock" send-keys '\;'; fi
  tmux -L "$sock" send-keys Enter
}
# A server per session: one still shutting down is not reused.
start() {
  tmux -L "$sock" kill-server 2>/dev/null || true
  run=$((run + 1))
  sock=jetsql-test-$$-$run
  tmux -u -L "$sock" new-session -d -x 120 -y 40 \
    "env HOME='$home' $1 '$jetsql' '$db'; echo EXIT=\$?; sleep 60"
  wait_for "jetsql>"
}

start ""
type_line "INSERT INTO [G] ([n]) VALUES (7);"
type_line "SELECT Count(*) AS [Lignes] FROM [G] AS a, [G] AS b, [G] AS c;"
sleep 1
[ -e "$db-wal" ] || fail "the write did not open the file for writing"
tmux -L "$sock" send-keys C-c
wait_for "Opération annulée"
type_line "SELECT Count(*) AS [Total] FROM [G];"
wait_for "2049"
# A half-typed statement dropped by Ctrl-C runs neither now nor with the next line.
# Each key goes once the screen shows the one before, as a user types: sent
# at once, on a loaded machine the first letters of the next line could
# reach the editor before the interrupt does.
prompts() { screen | grep -c '^jetsql>' || true; }
before=$(prompts)
tmux -L "$sock" send-keys -l "DELETE FROM [G]"
wait_for "jetsql> DELETE FROM [G]"
tmux -L "$sock" send-keys C-c
for _ in $(seq 100); do
  [ "$(prompts)" -gt "$before" ] && break
  sleep 0.1
done
[ "$(prompts)" -gt "$before" ] || fail "no new prompt after Ctrl-C"
type_line "SELECT Count(*) AS [Encore] FROM [G] WHERE [n] = 7;"
wait_for "Encore"
type_line ".quit"
wait_for "EXIT=0"
s=$(screen)
grep -A2 Encore <<<"$s" | grep -qx 1 || fail "the dropped DELETE ran"
for log in "$db-wal" "$db-shm"; do [ ! -e "$log" ] || fail "$log left behind"; done

# A script: Ctrl-C cancels its statement and stops it there, exit 130.
printf '%s\n' "UPDATE [G] SET [n] = 8 WHERE [n] = 7;" "SELECT Count(*) FROM [G] AS a, [G] AS b, [G] AS c;" \
  "DELETE FROM [G];" > "$tmp/long.sql"
tmux -L "$sock" kill-server 2>/dev/null || true
run=$((run + 1))
sock=jetsql-test-$$-$run
tmux -u -L "$sock" new-session -d -x 120 -y 40 "'$jetsql' '$db' < '$tmp/long.sql'; echo EXIT=\$?; sleep 60"
for _ in $(seq 50); do [ -e "$db-wal" ] && break; sleep 0.1; done
sleep 0.5
tmux -L "$sock" send-keys C-c
wait_for "EXIT=130"
screen | grep -qF "à la ligne 2 : SELECT Count(*) FROM [G] AS a" || fail "the cancelled statement is not named"
[ "$("$jetsql" --csv "$db" "SELECT Count(*) AS N FROM [G] WHERE [n] = 8")" = $'N\n1' ] ||
  fail "the statements before the cancelled one were lost, or those after it ran"
rm "$tmp/long.sql"
for log in "$db-wal" "$db-shm"; do [ ! -e "$log" ] || fail "$log left behind by the script"; done

# The next session recalls the statements of the last one, newest first
# (.quit, the Encore count, the Total count).
start ""
tmux -L "$sock" send-keys Up Up Up
wait_for "jetsql> SELECT Count(*) AS [Total] FROM [G];"
tmux -L "$sock" send-keys C-u
type_line ".quit"
wait_for "EXIT=0"
[ "$(stat -c %a "$home/.jetsql_history")" = 600 ] || fail "the history is readable by others"
# A link planted at the history's name is replaced, never written through.
echo "précieux" > "$tmp/other"
ln -sf "$tmp/other" "$home/.jetsql_history"
start ""
type_line ".quit"
wait_for "EXIT=0"
[ "$(cat "$tmp/other")" = "précieux" ] || fail "the history was written through a link"
[ -f "$home/.jetsql_history" ] && [ ! -L "$home/.jetsql_history" ] || fail "the link was not replaced"
rm "$tmp/other"

# A file the user may not write: every query answers, the write is refused
# as read-only, and the file stays as it was. Root writes anyway: the user
# is then nobody, as the other tests' ordinary user is.
as_user=()
if [ "$(id -u)" = 0 ]; then
  command -v setpriv >/dev/null || { echo "setpriv missing: no ordinary user to be"; exit 77; }
  as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups --)
  chown nobody:nogroup "$home"
else
  chmod 555 "$tmp"
fi
chmod 444 "$db"
before=$(sha1sum "$db"; stat -c %Y "$db")
start "${as_user[*]}"
type_line "SELECT Count(*) AS [Lues] FROM [G];"
wait_for "2049"
type_line "DELETE FROM [G];"
wait_for "(3027)"
type_line ".tables"
wait_for "----"
type_line ".quit"
wait_for "EXIT=0"
chmod 755 "$tmp"
[ "$(sha1sum "$db"; stat -c %Y "$db")" = "$before" ] || fail "the read-only file changed"
[ "$(ls "$tmp" | sort | tr '\n' ' ')" = "g.mdb home " ] || fail "files appeared beside it: $(ls "$tmp" | tr '\n' ' ')"
echo OK
