#!/usr/bin/env bash
# The summary dialog in a real terminal: tmux runs the program, capture-pane
# reads the screen, send-keys presses the buttons.
# Usage: terminal_test.sh UPDATER_BINARY [TEMPLATE_DIR]
# With the build's template folder it also watches the progress window of a
# real conversion of the sample database.
set -euo pipefail
updater=$1
real_templates=${2:-}
command -v tmux >/dev/null || { echo "tmux missing: tools/setup.sh installs it"; exit 1; }

tmp=$(mktemp -d)
run=0
sock=updater-test-$$-0
trap 'tmux -L "$sock" kill-server 2>/dev/null || true; rm -rf "$tmp"' EXIT
templates="$tmp/modèles avec espaces"
mkdir -p "$tmp/reg" "$templates"

registry() {
  printf 'REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Norvane\\Toquelin\\updater\\Générale]\n"Debug"=dword:0000000%s\n' "$1" \
    > "$tmp/reg/HKEY_CURRENT_USER.reg"
  printf 'REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Norvane\\Toquelin\\tq2\\Path]\n"ExePath"="%s"\n' "${2:-$templates}" \
    > "$tmp/reg/HKEY_LOCAL_MACHINE.reg"
}

# Starts the program in a fresh 100x40 terminal with extra environment and
# arguments; what the program writes to the terminal is kept in $tmp/raw.
# A server per run: a server that is still shutting down is not reused.
start() {
  tmux -L "$sock" kill-server 2>/dev/null || true
  run=$((run + 1))
  sock=updater-test-$$-$run
  : > "$tmp/raw"
  # The pause lets pipe-pane attach before the program writes anything.
  tmux -u -L "$sock" new-session -d -x 100 -y 40 \
    "sleep 0.3; cd '$tmp' && env UPDATER_REGISTRY='$tmp/reg' ODBCINI='$tmp/odbc.ini' $1 '$updater' ${2:-/SRC=Base.mdb}; echo EXIT=\$?; sleep 60"
  tmux -L "$sock" pipe-pane -o "cat >> '$tmp/raw'"
}

screen() { tmux -L "$sock" capture-pane -p; }

wait_for() {
  for _ in $(seq 100); do
    if screen | grep -qF -- "$1"; then return 0; fi
    sleep 0.1
  done
  echo "FAIL: '$1' never appeared; the screen was:"; screen; tr -d "\r" < "$tmp/raw" | tail -5; exit 1
}

fail() { echo "FAIL: $1; the screen was:"; screen; exit 1; }

# Debug on: the dialog shows the caption, the labels and the wrapped paths,
# and waits for a key.
registry 1
start ""
wait_for "Journal..."
s=$(screen)
for text in "Toquelin V2.5" "Fichier" "source :" "destination :" "Chemin du" "[< OK >]" \
  "Résultat :" "base source introuvable"; do
  grep -qF -- "$text" <<<"$s" || fail "'$text' missing"
done
grep -q "EXIT=" <<<"$s" && fail "the dialog did not wait for a key"
# The whole box fits a terminal of 24 lines.
[ "$(grep -c '│' <<<"$s")" -le 22 ] || fail "the box is taller than 24 lines"
tmux -L "$sock" send-keys Enter
wait_for "EXIT=232"

# "Journal..." shows the journal in the user's pager as UTF-8 text, through
# its standard input; the Windows-1252 file stays as it was.
cat > "$tmp/pager" <<'SH'
#!/bin/sh
cat > "$(dirname "$0")/viewed"
SH
chmod +x "$tmp/pager"
journal=$templates/Updater.log
start "PAGER='$tmp/pager'"
wait_for "Journal..."
before=$(od -An -c "$journal")
tmux -L "$sock" send-keys j
wait_for "EXIT=232"
grep -q "^Mise à jour database Toquelin V2.5.3 Beta$" "$tmp/viewed" || fail "the pager got: $(head -c 200 "$tmp/viewed")"
grep -q $'\r' "$tmp/viewed" && fail "the pager got CR LF line ends"
[ "$(od -An -c "$journal")" = "$before" ] || fail "viewing changed the journal"
grep -q $'\xE0 jour' "$journal" || fail "the journal is no longer Windows-1252"

# A pager that cannot start: the message box, then the end of the run.
start "PAGER=/nonexistent/viewer"
wait_for "Journal..."
tmux -L "$sock" send-keys j
wait_for "Erreur ouverture du fichier journal !"
tmux -L "$sock" send-keys Enter
wait_for "EXIT=232"

# Ctrl-C: the run stops (here while it waits for another run's lock) and
# ends without waiting for a key.
# The holder becomes the sleep that holds the lock: killing it frees it.
(exec 9>"$tmp/odbc.ini.lock" && flock 9 && exec sleep 30) &
holder=$!
start ""
sleep 1
tmux -L "$sock" send-keys C-c
wait_for "EXIT=232"
kill "$holder"
wait "$holder" 2>/dev/null || true
s=$(screen)
grep -qF "Journal..." <<<"$s" && fail "a dialog was shown after Ctrl-C"
grep -qF "conversion interrompue par le signal SIGINT" <<<"$s" || fail "the interruption was not said"
# It said for whom it waited; it never held the lock, so it opened no
# journal (the last run's stays as it was) and names none.
grep -qF "attente du verrou $tmp/odbc.ini.lock" <<<"$s" || fail "the wait was not said"
grep -qF "updater : journal : " <<<"$s" && fail "a run that never held the lock named a journal"

# Debug off: no dialog at all.
registry 0
start ""
wait_for "EXIT=232"
screen | grep -qF "Journal..." && fail "a dialog was shown without Debug"
# The progress window of a real step: drawn on one line, then cleared.
if [ -n "$real_templates" ]; then
  cp "$real_templates/Exemple_V20.mdb" "$tmp/Base.mdb"
  caption="Mise à jour Toquelin V2.5 : Conversion de la base de données V2.0 -> V2.1"
  for debug in 0 1; do
    registry "$debug" "$real_templates"
    start "" "/SRC=$tmp/Base.mdb /DEST=$tmp/Base21_$debug.mdb"
    if [ "$debug" = 1 ]; then
      wait_for "Journal..."
      screen | grep -qF "Résultat :     convertie en version 2.5.3.459 ; le fichier source est" ||
        fail "the result is not in the summary"
      tmux -L "$sock" send-keys Enter
    fi
    wait_for "EXIT=0"
    grep -qF "$caption" "$tmp/raw" || fail "no progress window (Debug $debug)"
    # After the text, the window erases its line: ESC [ K.
    grep -aqF "$(printf '%s\r\033[K' "$caption")" "$tmp/raw" || fail "the progress window was not cleared (Debug $debug)"
    screen | grep -qF "Conversion de la base" && fail "the progress text stayed on the screen (Debug $debug)"
  done
fi
echo "terminal checks passed"
