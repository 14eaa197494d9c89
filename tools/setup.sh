#!/usr/bin/env bash
# Installs the Debian packages that building and testing the project need.
# Idempotent: when every package is already there it prints nothing and
# touches nothing, so the README commands can call it on every run.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  libgtest-dev googletest libgmock-dev libbenchmark-dev
  libsqlite3-dev libedit-dev
  libmdb3 mdbtools-dev
  clang libclang-rt-14-dev
  unixodbc unixodbc-dev odbcinst
  tmux
  groff-base man-db
  dpkg-dev file lintian
  sqlite3 python3-pyodbc
  valgrind time bc
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "setup: installing ${missing[*]}" >&2
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq >/dev/null
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
