#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The licence line of every source file: "// SPDX-License-Identifier: ..." as
# the first line of C++ sources and headers, "# SPDX-License-Identifier: ..."
# in CMake files and shell scripts (after the "#!" line where there is one).
# Data (tests/golden, images, the user guide) carries none.
#   tools/spdx.sh --check   list the files without it; exit 1 when there are any
#   tools/spdx.sh --apply   add it where it is missing (files that have it stay as they are)
set -euo pipefail
licence=GPL-3.0-or-later
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

mode=${1:-}
case "$mode" in --check | --apply) ;; *) echo "usage: $0 --check|--apply" >&2; exit 2 ;; esac

# The tracked files; outside a git checkout (or where git refuses the
# checkout's owner) every file but the build folders'.
list_files() {
  if git ls-files -z 2>/dev/null; then return; fi
  find . \( -name .git -o -name 'build*' \) -type d -prune -o -type f -printf '%P\0'
}

# The comment form of a file, or nothing for files that carry no line.
comment_of() {
  case "$1" in
    tests/golden/*) ;;
    *.cpp | *.h | *.hpp | *.cc) echo '//' ;;
    CMakeLists.txt | */CMakeLists.txt | *.cmake | *.sh | *.bash | .ci/run) echo '#' ;;
  esac
}

# Where the line belongs: line 2 after a "#!" line, else line 1.
line_of() {
  if head -c 2 "$1" | grep -q '^#!'; then echo 2; else echo 1; fi
}

missing=0
while IFS= read -r -d '' file; do
  comment=$(comment_of "$file")
  [ -n "$comment" ] || continue
  [ -f "$file" ] || continue
  want="$comment SPDX-License-Identifier: $licence"
  at=$(line_of "$file")
  [ "$(sed -n "${at}p" "$file")" = "$want" ] && continue
  if [ "$mode" = --check ]; then
    echo "$file"
    missing=$((missing + 1))
  else
    tmp=$(mktemp "$file.spdx.XXXXXX")
    { if [ "$at" = 2 ]; then head -n 1 "$file"; fi
      echo "$want"
      tail -n +"$at" "$file"; } >"$tmp"
    chmod --reference="$file" "$tmp"
    mv "$tmp" "$file"
    echo "added to $file"
  fi
done < <(list_files)

if [ "$mode" = --check ] && [ "$missing" -gt 0 ]; then
  echo "$missing files lack \"SPDX-License-Identifier: $licence\" (tools/spdx.sh --apply adds it)" >&2
  exit 1
fi
exit 0
