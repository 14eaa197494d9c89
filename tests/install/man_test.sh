#!/usr/bin/env bash
# The manual pages, English and French, render without a single warning;
# each documents every option that its program's usage lists; each French
# page keeps the English one's sections and entries; `man -L fr` finds it.
# Usage: man_test.sh MAN_SOURCE_DIR UPDATER JETSQL
set -euo pipefail
dir=$1 updater=$2 jetsql=$3
status=0
for page in "$dir"/*.1 "$dir"/fr/*.1; do
  # -k: the French pages say their encoding (UTF-8), as man-db reads it.
  warnings=$(groff -k -w all -man -Tutf8 "$page" 2>&1 >/dev/null)
  if command -v man >/dev/null; then warnings+=$(LC_ALL=C.UTF-8 man --warnings -l "$page" 2>&1 >/dev/null); fi
  if [ -n "$warnings" ]; then echo "$page:"; echo "$warnings"; status=1; fi
done

# Options as the usage texts list them: "--word" and "/WORD=".
documents_usage() {
  local page=$1 usage=$2 text option
  text=$(groff -k -man -Tutf8 -P-cbou "$page" 2>/dev/null)
  for option in $(grep -oE -- '(--[a-z]+|/[A-Z]+=)' <<<"$usage" | sort -u); do
    grep -qF -- "$option" <<<"$text" || { echo "$page does not document $option"; status=1; }
  done
}
for language in "" fr/; do
  documents_usage "$dir/${language}updater.1" "$("$updater" --help)"
  documents_usage "$dir/${language}jetsql.1" "$("$jetsql" --help)"
done

# A translation that fell behind: another count of sections, entries,
# examples or options named in bold.
shape() { grep -cE "^\.$1( |$)" "$2" || true; }
for page in "$dir"/*.1; do
  french=$dir/fr/$(basename "$page")
  [ -f "$french" ] || { echo "no French page for $(basename "$page")"; status=1; continue; }
  for request in SH SS TP EX; do
    [ "$(shape $request "$page")" = "$(shape $request "$french")" ] ||
      { echo "$french has $(shape $request "$french") .$request where $page has $(shape $request "$page")"; status=1; }
  done
  options() { grep -oE -- '\\-\\-[a-z][a-z\\-]*|/[A-Z]+=' "$1" | sort -u; }
  [ "$(options "$page")" = "$(options "$french")" ] ||
    { echo "$french and $page name other options:"; diff <(options "$page") <(options "$french"); status=1; }
done

# Installed as the package puts them, `man -L fr` finds the French page.
if command -v man >/dev/null; then
  tree=$(mktemp -d)
  trap 'rm -rf "$tree"' EXIT
  mkdir -p "$tree/man1" "$tree/fr/man1"
  cp "$dir"/*.1 "$tree/man1/"
  cp "$dir"/fr/*.1 "$tree/fr/man1/"
  for program in updater jetsql; do
    found=$(MANPATH=$tree man -L fr -w $program 2>&1)
    [ "$found" = "$tree/fr/man1/$program.1" ] || { echo "man -L fr -w $program: $found"; status=1; }
    heading=$(MANPATH=$tree LC_ALL=C.UTF-8 MANWIDTH=80 man -L fr $program 2>&1 | sed -n 3p)
    [ "$heading" = NOM ] || { echo "man -L fr $program shows no French page: $heading"; status=1; }
    [ "$(MANPATH=$tree man -L en -w $program 2>&1)" = "$tree/man1/$program.1" ] ||
      { echo "man -L en no longer finds the English $program page"; status=1; }
  done
fi
exit $status
