#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
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
need share/bash-completion/completions/glowdeck-cli
need share/doc/glowdeck/copyright
need share/mime/packages/glowdeck.xml
rule=$prefix/lib/udev/rules.d/70-glowdeck-ball.rules
need lib/udev/rules.d/70-glowdeck-ball.rules
need libexec/glowdeck/glowdeck-video
need libexec/glowdeck/glowdeck-cli-full
# Every product of the adapter's vendor, open to the user at the seat, and
# left alone by ModemManager.
grep -q '^SUBSYSTEM=="tty", ATTRS{idVendor}=="067b", ' "$rule" || fail "udev rule without vendor 067b"
grep -q 'idProduct' "$rule" && fail "udev rule matches only some products of vendor 067b"
grep -q 'TAG+="uaccess"' "$rule" || fail "udev rule without uaccess"
grep -q 'ENV{ID_MM_DEVICE_IGNORE}="1"' "$rule" || fail "udev rule does not keep ModemManager away"

# The manual pages: gzip-compressed, with the sections a user looks for.
for page in glowdeck glowdeck-cli; do
  gz=share/man/man1/$page.1.gz
  need "$gz"
  [ -e "$prefix/share/man/man1/$page.1" ] && fail "uncompressed manual page $page.1"
  gzip -t "$prefix/$gz" || fail "$gz is not gzip data"
  text=$(gzip -dc "$prefix/$gz")
  for section in NAME SYNOPSIS DESCRIPTION ENVIRONMENT FILES EXAMPLES '"SEE ALSO"'; do
    grep -qx "\.SH $section" <<<"$text" || fail "$page.1 has no $section section"
  done
  for word in GLOWDECK_LOCK_WAIT XDG_CONFIG_HOME XDG_CACHE_HOME setting.ini; do
    grep -q "$word" <<<"$text" || fail "$page.1 does not mention $word"
  done
  # Dated, and the version the programs print.
  grep -Eq "^\.TH [A-Z-]+ 1 \"[0-9]{4}-[0-9]{2}-[0-9]{2}\" \"Glowdeck $version\"" <<<"$text" ||
    fail "$page.1 title line: $(grep '^\.TH' <<<"$text")"
  if command -v man >/dev/null; then
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$prefix/$gz" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "$page.1: $warnings"
  fi
done
# Every command of glowdeck-cli --help has its entry in the manual page.
cli_page=$(gzip -dc "$prefix/share/man/man1/glowdeck-cli.1.gz")
for command in $("$prefix/bin/glowdeck-cli" --help | sed -n 's/^  \([a-z][a-z-]*\)\( .*\)\?$/\1/p'); do
  grep -q "^\.\(B\|BI\) \"\?${command//-/\\\\-}\b" <<<"$cli_page" || fail "glowdeck-cli.1 lacks the command $command"
done

# The licence: a machine-readable copyright file naming GPL-3.0-or-later.
copyright=$prefix/share/doc/glowdeck/copyright
grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' "$copyright" ||
  fail "copyright file is not machine-readable"
grep -qx 'License: GPL-3+' "$copyright" || fail "copyright file names no GPL-3+"
grep -q '/usr/share/common-licenses/GPL-3' "$copyright" || fail "copyright file does not point to GPL-3"

# The project file's type: matches Index.prj in any case, and the desktop
# entry opens it.
data=$(mktemp -d /tmp/glowdeck-mime.XXXXXX)
mime=$data/mime
mkdir -p "$mime/packages"
cp "$prefix/share/mime/packages/glowdeck.xml" "$mime/packages/"
if command -v update-mime-database >/dev/null; then
  XDG_DATA_HOME=$data XDG_DATA_DIRS=$data update-mime-database "$mime" 2>"$data/errors" ||
    fail "MIME type does not load: $(cat "$data/errors")"
  [ -s "$data/errors" ] && fail "MIME type: $(cat "$data/errors")"
  # globs2: weight:type:pattern[:flags]; no "cs" flag means any letter case.
  grep -qx '[0-9]*:application/x-glowdeck-project:index\.prj' "$mime/globs2" ||
    fail "MIME type does not match Index.prj in any case: $(grep glowdeck "$mime/globs2")"
else
  echo "update-mime-database not installed: MIME type not checked"
fi
rm -rf "$data"
metainfo=$(ls "$prefix"/share/metainfo/*.metainfo.xml)
grep -q "release version=\"$version\"" "$metainfo" || fail "metainfo names another release than $version"
grep -q '<project_license>GPL-3.0-or-later</project_license>' "$metainfo" || fail "metainfo without licence"
grep -q '<developer_name>' "$metainfo" || fail "metainfo without developer"
grep -q '<modalias>usb:v067Bp\*</modalias>' "$metainfo" || fail "metainfo does not provide the adapter's modalias"
grep -q '<mediatype>application/x-glowdeck-project</mediatype>' "$metainfo" || fail "metainfo without the project type"
for shot in main-window dither-comparison; do
  grep -q "<image type=\"source\"[^>]*>https://[^<]*/res/help/$shot.png</image>" "$metainfo" ||
    fail "metainfo lacks the screenshot $shot"
done

desktop=$prefix/share/applications/glowdeck.desktop
grep -qx 'Exec=glowdeck %f' "$desktop" || fail "desktop entry does not run glowdeck %f"
grep -qx 'Categories=Graphics;Electronics;' "$desktop" || fail "desktop entry categories"
grep -qx 'MimeType=application/x-glowdeck-project;' "$desktop" || fail "desktop entry opens no projects"
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
gzip -dc "$prefix/share/man/man1/glowdeck-cli.1.gz" | grep -qx '\.SH "EXIT STATUS"' || fail "manual page without exit codes"

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
# What a file manager runs for a project: `glowdeck %f` with the project
# folder or its project file opens that project, no start dialog.
for given in "$work/projects/show" "$work/projects/show/Index.prj"; do
  timeout 60 "$prefix/bin/glowdeck" --check-start "$given" >"$work/open.txt" 2>"$work/open.err" ||
    { cat "$work/open.txt" "$work/open.err"; fail "glowdeck $given did not open the project"; }
  grep -q 'start dialog shown' "$work/open.txt" && fail "glowdeck $given showed the start dialog"
done
echo "installed tree under $prefix: ok"
