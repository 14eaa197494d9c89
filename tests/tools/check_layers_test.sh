#!/usr/bin/env bash
# tools/check_layers.sh on a tree of its own making: it passes the real tree
# and refuses, one line each, an include that runs up, a driver-internal
# header seen from a layer or from a tool, a public header that leaks an
# internal one, and a folder that stands alone including another.
# Usage: check_layers_test.sh CHECK_LAYERS
set -euo pipefail
check=$1
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
mkdir -p "$tree"/src/{jetdb/include/jetdb,access,platform,app} "$tree"/tools/odbc
cd "$tree"
printf '#pragma once\n#include <string>\n' >src/jetdb/include/jetdb/jetdb.h
printf '#pragma once\n' >src/jetdb/session.h
printf '#include "session.h"\n#include "jetdb/jetdb.h"\n' >src/jetdb/database.cpp
printf '#include "jetdb/jetdb.h"\n' >src/platform/database.cpp
printf '#include "jetdb/jetdb.h"\n#include "platform/database.h"\n' >src/app/main.cpp
printf '#include "driver.h"\n#include "jetdb/jetdb.h"\n' >tools/odbc/statement.cpp
printf '#include "model.h"\n' >src/access/reader.cpp
"$check" "$tree" >/dev/null || { echo "a sound tree is refused"; exit 1; }

printf '#include "app/main.h"\n#include "jetdb/session.h"\n' >>src/platform/database.cpp
printf '#include "jetdb/session.h"\n' >>tools/odbc/statement.cpp
printf '#include "session.h"\n' >>src/jetdb/include/jetdb/jetdb.h
printf '#include "jetdb/jetdb.h"\n' >>src/access/reader.cpp
set +e
out=$("$check" "$tree")
rc=$?
set -e
status=0
[ $rc -eq 1 ] || { echo "exit $rc, not 1"; status=1; }
for expected in "src/platform/database.cpp:2: platform includes app" \
                "src/platform/database.cpp:3: platform includes jetdb/session.h, which is no public header" \
                "tools/odbc/statement.cpp:3: tools/odbc includes jetdb/session.h, which is no public header" \
                "src/jetdb/include/jetdb/jetdb.h:3: the public header includes session.h" \
                "src/access/reader.cpp:2: access includes jetdb"; do
  grep -qF "$expected" <<<"$out" || { echo "missing: $expected"; status=1; }
done
[ "$(wc -l <<<"$out")" -eq 5 ] || { echo "expected five refusals:"; echo "$out"; status=1; }
exit $status
