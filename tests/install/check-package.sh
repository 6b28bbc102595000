#!/usr/bin/env bash
# Unpacks the .deb into a temporary folder and checks it: the control data
# (dependencies computed from the programs) and the installed tree.
#   check-package.sh glowdeck_VERSION_ARCH.deb
set -euo pipefail
here=$(dirname "$0")
deb=$1
fail() { echo "FAIL: $*" >&2; exit 1; }
root=$(mktemp -d /tmp/glowdeck-deb.XXXXXX)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"
version=$(dpkg-deb -f "$deb" Version)
depends=$(dpkg-deb -f "$deb" Depends)
for lib in libqt6widgets6 libqt6serialport6 libopencv-imgproc libpugixml libgif libwebpmux libqt6svg6 fonts-arphic-uming; do
  case "$depends" in *"$lib"*) ;; *) fail "Depends lacks $lib: $depends" ;; esac
done
"$here/check-tree.sh" "$root/usr" "${version%%-*}"
echo "package $deb: ok"
