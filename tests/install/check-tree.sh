#!/usr/bin/env bash
# Checks an installed Glowdeck under PREFIX (a staging folder such as
# DESTDIR/usr): every file a desktop expects is in place and valid, and the
# installed programs work from there: glowdeck-cli builds, compiles and
# inspects a project; glowdeck comes up to its start dialog, reading its
# settings from the user's configuration folder and writing nothing beside
# itself.
#   check-tree.sh PREFIX VERSION
set -euo pipefail
prefix=$1
version=$2
fail() { echo "FAIL: $*" >&2; exit 1; }
need() { [ -e "$prefix/$1" ] || fail "missing $1"; }

need bin/glowdeck
need bin/glowdeck-cli
need share/glowdeck/help/index.html
need share/glowdeck/help/index.en.html
need share/applications/glowdeck.desktop
need share/icons/hicolor/scalable/apps/glowdeck.svg
for size in 16 22 24 32 48 64 128 256; do
  png=share/icons/hicolor/${size}x${size}/apps/glowdeck.png
  need "$png"
  # A PNG of the size its folder names (width and height in the IHDR chunk).
  dims=$(od -An -tu1 -j16 -N8 "$prefix/$png" | awk '{print $3*256+$4 "x" $7*256+$8}')
  [ "$dims" = "${size}x${size}" ] || fail "$png is $dims"
done
need share/man/man1/glowdeck-cli.1
need share/bash-completion/completions/glowdeck-cli
need lib/udev/rules.d/70-glowdeck-ball.rules
need libexec/glowdeck/glowdeck-video
grep -q 'ATTRS{idVendor}=="067b"' "$prefix/lib/udev/rules.d/70-glowdeck-ball.rules" || fail "udev rule without vendor 067b"
grep -q 'TAG+="uaccess"' "$prefix/lib/udev/rules.d/70-glowdeck-ball.rules" || fail "udev rule without uaccess"
metainfo=$(ls "$prefix"/share/metainfo/*.metainfo.xml)
grep -q "release version=\"$version\"" "$metainfo" || fail "metainfo names another release than $version"

desktop=$prefix/share/applications/glowdeck.desktop
grep -qx 'Exec=glowdeck %f' "$desktop" || fail "desktop entry does not run glowdeck %f"
grep -qx 'Categories=Graphics;Electronics;' "$desktop" || fail "desktop entry categories"
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$desktop" || fail "desktop entry does not validate"
else
  echo "desktop-file-validate not installed: desktop entry not validated"
fi
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net "$metainfo" || fail "AppStream metadata does not validate"
else
  echo "appstreamcli not installed: AppStream metadata not validated"
fi
bash -n "$prefix/share/bash-completion/completions/glowdeck-cli" || fail "bash completion does not parse"
man -l "$prefix/share/man/man1/glowdeck-cli.1" 2>/dev/null | grep -q 'Exit status\|EXIT STATUS' ||
  grep -qi 'exit status' "$prefix/share/man/man1/glowdeck-cli.1" || fail "manual page without exit codes"

work=$(mktemp -d /tmp/glowdeck-check.XXXXXX)
trap 'rm -rf "$work"' EXIT
export HOME=$work/home XDG_CONFIG_HOME=$work/config QT_QPA_PLATFORM=offscreen
mkdir -p "$HOME"
cli=$prefix/bin/glowdeck-cli

[ "$("$cli" --version)" = "glowdeck-cli $version" ] || fail "glowdeck-cli --version: $("$cli" --version)"
[ "$("$prefix/bin/glowdeck" --version)" = "glowdeck $version" ] || fail "glowdeck --version"
"$cli" new --root "$work/projects" show >/dev/null
for kind in picture animation text interval; do "$cli" add "$work/projects/show" 1 $kind >/dev/null; done
# A video clip, decoded by the installed glowdeck-video (when ffmpeg can make one).
if command -v ffmpeg >/dev/null; then
  ffmpeg -nostdin -v error -f lavfi -i testsrc=size=32x16:rate=10:duration=0.5 -c:v libx264 -pix_fmt yuv420p "$work/clip.mp4"
  "$cli" set-source "$work/projects/show" 1 2 "$work/clip.mp4" | grep -q 'framecount=5 ' ||
    fail "a video clip through the installed decoder"
fi
"$cli" compile "$work/projects/show" >"$work/compile.txt" 2>&1 || { cat "$work/compile.txt"; fail "compile"; }
"$cli" inspect "$work/projects/show/data.bin" --png "$work/ball.png" >"$work/inspect.txt" ||
  { cat "$work/inspect.txt"; fail "inspect"; }
grep -q '^consistent' "$work/inspect.txt" || fail "inspect found problems"

# The desktop program: settings from the configuration folder (ball type
# known, so no question), up to the start dialog and out again.
mkdir -p "$XDG_CONFIG_HOME/Glowdeck"
printf '[PATH]\nPROJECT=%s/projects/\n[TYPE]\nTYPE=1\n' "$work" >"$XDG_CONFIG_HOME/Glowdeck/setting.ini"
before=$(ls "$prefix/bin")
timeout 60 "$prefix/bin/glowdeck" --check-start >"$work/start.txt" 2>"$work/start.err" ||
  { cat "$work/start.txt" "$work/start.err"; fail "glowdeck --check-start"; }
grep -q '^start dialog shown' "$work/start.txt" || fail "no start dialog: $(cat "$work/start.txt")"
grep -q 'dismissed' "$work/start.txt" && fail "glowdeck asked more than the start dialog: $(cat "$work/start.txt")"
[ "$(ls "$prefix/bin")" = "$before" ] || fail "glowdeck wrote into its bin folder"
echo "installed tree under $prefix: ok"
