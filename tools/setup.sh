#!/usr/bin/env bash
# Installs the Debian packages that the project needs, with apt-get.
# Usage: tools/setup.sh            what building and the default tests need
#                                  (tools/main_job.sh, tools/test.sh)
#        tools/setup.sh --package  and lintian, for tools/package_job.sh
#        tools/setup.sh --dev      and all of the rest: clang and its
#                                  sanitizer and fuzzing runtime, valgrind,
#                                  Google Benchmark, time and bc, SQLite's
#                                  ODBC driver (fuzzers, benchmarks, profiles)
# Idempotent: when every package is already there it prints nothing and
# touches nothing, so the README commands can call it on every run. Run as
# root, or as a user who may use sudo.
set -euo pipefail

# Building: compiler, CMake, the libraries (libmdb: the Access reader's);
# GoogleTest, which CMake asks for.
# The default tests: the ODBC driver's headers and the clients it is tried
# with (unixODBC, odbcinst, isql, pyodbc, SQLAlchemy and pandas), tmux for
# the terminal tests, groff and man for the manual pages, dpkg-dev and file
# for the package that the tests build, the sqlite3 shell.
packages=(
  build-essential cmake pkg-config
  libgtest-dev googletest libgmock-dev
  libsqlite3-dev libedit-dev
  libmdb3 mdbtools-dev
  unixodbc unixodbc-dev odbcinst python3-pyodbc python3-sqlalchemy python3-pandas
  tmux groff-base man-db dpkg-dev file sqlite3
)
case "${1:-}" in
  "") ;;
  --package) packages+=(lintian) ;;
  --dev) packages+=(lintian clang libclang-rt-14-dev valgrind libbenchmark-dev time bc libsqliteodbc) ;;
  *)
    echo "usage: tools/setup.sh [--package | --dev]" >&2
    exit 2
    ;;
esac

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

apt=(env DEBIAN_FRONTEND=noninteractive apt-get)
if [ "$(id -u)" -ne 0 ]; then
  if ! command -v sudo >/dev/null; then
    echo "setup: ${missing[*]} must be installed and there is no sudo: run su -c '$(realpath "$0")${1:+ $1}' (as root)" >&2
    exit 1
  fi
  apt=(sudo "${apt[@]}")
fi
echo "setup: installing ${missing[*]}" >&2
"${apt[@]}" update
"${apt[@]}" install -y --no-install-recommends "${missing[@]}"
