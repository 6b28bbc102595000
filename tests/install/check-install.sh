#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# `cmake --install` of a build folder into a staging prefix, checked as installed.
#   check-install.sh BUILD_DIR VERSION
set -euo pipefail
here=$(dirname "$0")
stage=$(mktemp -d /tmp/glowdeck-install.XXXXXX)
trap 'rm -rf "$stage"' EXIT
cmake --install "$1" --prefix "$stage/usr" >/dev/null
"$here/check-tree.sh" "$stage/usr" "$2"
