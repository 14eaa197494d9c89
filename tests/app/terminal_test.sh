#!/usr/bin/env bash
# The summary dialog in a real terminal: tmux runs the program, capture-pane
# reads the screen, send-keys presses the buttons.
# Usage: terminal_test.sh UPDATER_BINARY
set -euo pipefail
updater=$1
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
  printf 'REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Norvane\\Toquelin\\tq2\\Path]\n"ExePath"="%s"\n' "$templates" \
    > "$tmp/reg/HKEY_LOCAL_MACHINE.reg"
}

# Starts the program in a fresh 100x40 terminal with extra environment.
# A server per run: a server that is still shutting down is not reused.
start() {
  tmux -L "$sock" kill-server 2>/dev/null || true
  run=$((run + 1))
  sock=updater-test-$$-$run
  tmux -u -L "$sock" new-session -d -x 100 -y 40 \
    "cd '$tmp' && env UPDATER_REGISTRY='$tmp/reg' $1 '$updater' /SRC=Base.mdb; echo EXIT=\$?; sleep 60"
}

screen() { tmux -L "$sock" capture-pane -p; }

wait_for() {
  for _ in $(seq 100); do
    if screen | grep -qF -- "$1"; then return 0; fi
    sleep 0.1
  done
  echo "FAIL: '$1' never appeared; the screen was:"; screen; exit 1
}

fail() { echo "FAIL: $1; the screen was:"; screen; exit 1; }

# Debug on: the dialog shows the caption, the labels and the wrapped paths,
# and waits for a key.
registry 1
start ""
wait_for "Journal..."
s=$(screen)
for text in "Toquelin V2.5" "Fichier" "source :" "destination :" "Chemin du" "[< OK >]"; do
  grep -qF -- "$text" <<<"$s" || fail "'$text' missing"
done
grep -q "EXIT=" <<<"$s" && fail "the dialog did not wait for a key"
tmux -L "$sock" send-keys Enter
wait_for "EXIT=232"

# "Journal..." opens the journal path, whole, in the user's viewer.
cat > "$tmp/viewer" <<'SH'
#!/bin/sh
printf '%s' "$1" > "$(dirname "$0")/viewed"
SH
chmod +x "$tmp/viewer"
start "VISUAL='$tmp/viewer'"
wait_for "Journal..."
tmux -L "$sock" send-keys j
wait_for "EXIT=232"
[ "$(cat "$tmp/viewed")" = "$templates/Updater.log" ] || fail "viewer got '$(cat "$tmp/viewed")'"

# A viewer that cannot start: the message box, then the end of the run.
start "VISUAL=/nonexistent/viewer"
wait_for "Journal..."
tmux -L "$sock" send-keys j
wait_for "Erreur ouverture du fichier journal !"
tmux -L "$sock" send-keys Enter
wait_for "EXIT=232"

# Debug off: no dialog at all.
registry 0
start ""
wait_for "EXIT=232"
screen | grep -qF "Journal..." && fail "a dialog was shown without Debug"
echo "terminal checks passed"
