#!/usr/bin/env bash
# The manual pages render without a single warning, and each documents every
# option that its program's usage lists.
# Usage: man_test.sh MAN_SOURCE_DIR UPDATER JETSQL
set -euo pipefail
dir=$1 updater=$2 jetsql=$3
status=0
for page in "$dir"/*.1; do
  warnings=$(groff -w all -man -Tutf8 "$page" 2>&1 >/dev/null)
  if command -v man >/dev/null; then warnings+=$(LC_ALL=C.UTF-8 man --warnings -l "$page" 2>&1 >/dev/null); fi
  if [ -n "$warnings" ]; then echo "$page:"; echo "$warnings"; status=1; fi
done

# Options as the usage texts list them: "--word" and "/WORD=".
documents_usage() {
  local page=$1 usage=$2 text option
  text=$(groff -man -Tutf8 -P-cbou "$page" 2>/dev/null)
  for option in $(grep -oE -- '(--[a-z]+|/[A-Z]+=)' <<<"$usage" | sort -u); do
    grep -qF -- "$option" <<<"$text" || { echo "$(basename "$page") does not document $option"; status=1; }
  done
}
documents_usage "$dir/updater.1" "$("$updater" --help)"
documents_usage "$dir/jetsql.1" "$("$jetsql" --no-such-option 2>&1 || true)"
exit $status
