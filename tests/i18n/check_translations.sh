#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The English translation against the sources.
#   check_translations.sh --checker PROGRAM [DIR...]
#     runs lupdate over the sources of DIR... (every source folder when none is
#     named) into a copy of translations/glowdeck_en.ts and fails when a text
#     has no finished English translation, an English text (or the English
#     user guide) has Chinese characters, or a Chinese literal in those
#     folders is not translated.
#   check_translations.sh --update
#     brings translations/glowdeck_en.ts up to date with every source folder:
#     new texts come in unfinished, texts gone from the sources are dropped.
set -euo pipefail
cd "$(dirname "$0")/../.."
all_dirs=(base led model compile device paint show video editors app cli)
ts=translations/glowdeck_en.ts
lupdate=$(command -v lupdate || echo /usr/lib/qt6/bin/lupdate)
lupdate_options=(-silent -I . -locations none -no-obsolete -source-language zh_CN -target-language en)

run_lupdate() {  # run_lupdate TS DIR...
  local out=$1; shift
  # lupdate warns about classes it cannot resolve without a build; the texts
  # are found all the same.
  "$lupdate" "${lupdate_options[@]}" "$@" -ts "$out" 2> >(grep -v 'Ignoring definition of undeclared qualified class' >&2)
}

if [ "${1:-}" = --update ]; then
  run_lupdate "$ts" "${all_dirs[@]}"
  unfinished=$(grep -c 'type="unfinished"' "$ts" || true)
  echo "$ts: $unfinished texts to translate"
  exit 0
fi

[ "${1:-}" = --checker ] || { echo "usage: $0 --checker PROGRAM [DIR...] | --update" >&2; exit 2; }
checker=$2; shift 2
dirs=("$@")
[ ${#dirs[@]} -gt 0 ] || dirs=("${all_dirs[@]}")

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$ts" "$work/current.ts"
run_lupdate "$work/current.ts" "${dirs[@]}"
sources=()
for d in "${dirs[@]}"; do
  for f in "$d"/*.cpp "$d"/*.h; do [ -e "$f" ] && sources+=("$f"); done
done
echo "checked: ${dirs[*]}"
"$checker" "$work/current.ts" --english res/help/index.en.html "${sources[@]}"
