#!/usr/bin/env bash
# jetsql at a terminal: `script` gives it a pseudo-terminal and types the
# lines, up-arrow included; a pipe still gets the script behaviour.
# Usage: interactive_test.sh JETSQL
set -euo pipefail
jetsql=$1
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
db=$tmp/t.mdb
"$jetsql" --create "$db" "CREATE TABLE [T] ([a] TEXT(20))"

fail() { echo "FAIL: $1; the session was:"; echo "$out"; exit 1; }

# One statement over three lines, recalled from the history, a refused one
# that ends nothing, and .quit before a last statement that must not run.
out=$(printf "INSERT INTO [T] ([a])\nVALUES ('x;\ny');\nSELECT [a] FROM [T];\n\033[A\nSELECT * FROM [Nope];\n.tables\n.quit\nDELETE FROM [T];\n" |
  timeout 20 script -qec "'$jetsql' '$db'" /dev/null | tr -d '\r') || fail "exit code $?"
grep -qF '   ...> y'"');" <<<"$out" || fail "no continuation prompt"
[ "$(grep -c '^x;$' <<<"$out")" = 2 ] || fail "the recalled SELECT did not run again"
grep -qF "ERREUR [42S02]" <<<"$out" || fail "no error for the missing table"
grep -qx "T" <<<"$out" || fail ".tables did not run after the error"
[ "$("$jetsql" --csv "$db" "SELECT [a] FROM [T] WHERE [a] LIKE 'x*'" | wc -l)" = 3 ] || fail "the row did not survive .quit"

# Not a terminal: no prompt, and the first refused statement stops the script.
out=$(printf 'SELECT * FROM [Nope];\n.tables\n' | "$jetsql" "$db" 2>&1) && fail "a refused statement gave exit code 0"
grep -q "jetsql>\|^T$" <<<"$out" && fail "a pipe got a prompt or ran past the error"
echo OK
