#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Fails when a source file includes a header of a level above its own.
# Levels (lowest first): base; led; model; compile; show; device and paint beside
# them; editors; app and cli at the top.
set -euo pipefail
cd "$(dirname "$0")/.."
declare -A allowed=(
  [base]="base"
  [led]="base led"
  [model]="base led model"
  [compile]="base led model compile"
  [show]="base led model compile show"
  [device]="base device"
  [paint]="base paint"
  [editors]="base led model paint editors"
  [app]="base led model compile show device paint editors app"
  [cli]="base led model compile show device cli"
)
bad=0
for level in "${!allowed[@]}"; do
  [ -d "$level" ] || continue
  while IFS= read -r line; do
    file=${line%%:*}
    target=$(sed -E 's/.*#include "([a-z]+)\/.*/\1/' <<<"$line")
    if [[ " ${allowed[$level]} " != *" $target "* ]]; then
      echo "$file includes a header of level '$target', above '$level': ${line#*:}"
      bad=1
    fi
  done < <(grep -HE '^#include "[a-z]+/' "$level"/*.h "$level"/*.cpp 2>/dev/null || true)
done
[ $bad -eq 0 ] && echo "levels: every include goes to the same or a lower level"
exit $bad
