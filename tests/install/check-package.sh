#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
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

# The changelog: compressed, its latest entry this package's version.
changelog=$root/usr/share/doc/glowdeck/changelog.Debian.gz
[ -f "$changelog" ] || fail "no changelog.Debian.gz"
first=$(gzip -dc "$changelog" | head -n 1)
[ "$first" = "glowdeck ($version) unstable; urgency=medium" ] || fail "changelog starts: $first"
# Reproducible dates: with SOURCE_DATE_EPOCH the manual pages carry its day.
if [ -n "${SOURCE_DATE_EPOCH:-}" ]; then
  day=$(date -u -d "@$SOURCE_DATE_EPOCH" +%F)
  for page in glowdeck glowdeck-cli; do
    gzip -dc "$root/usr/share/man/man1/$page.1.gz" | grep -q "^\.TH [A-Z-]* 1 \"$day\"" ||
      fail "$page.1 is not dated $day (SOURCE_DATE_EPOCH)"
  done
fi

# The maintainer scripts apply the udev rule to a plugged-in adapter, and
# only where udev runs (not in a chroot or a container): run them with a
# udevadm that records its calls.
control=$root/DEBIAN
dpkg-deb -e "$deb" "$control"
fake=$root/fake-bin
mkdir -p "$fake"
printf '#!/bin/sh\necho "udevadm $*" >>"%s/udevadm.log"\n' "$root" >"$fake/udevadm"
chmod 755 "$fake/udevadm"
udev_calls=$'udevadm control --reload-rules\nudevadm trigger --subsystem-match=tty --action=add'
# run_scripts UDEV_RUNS: each script with its argument, as dpkg calls it.
run_scripts() {
  local run script calls want
  for run in "postinst configure" "postrm remove" "postrm purge" "postinst abort-upgrade" "postrm upgrade"; do
    script=$control/${run%% *}
    [ "$(stat -c %a "$script")" = 755 ] || fail "${run%% *} is not mode 755"
    rm -f "$root/udevadm.log"
    PATH=$fake:$PATH sh -e "$script" ${run#* } || fail "$run failed"
    calls=$(cat "$root/udevadm.log" 2>/dev/null || true)
    want=""
    case "$run" in *configure | *remove | *purge) [ "$1" = yes ] && want=$udev_calls ;; esac
    [ "$calls" = "$want" ] || fail "$run with udev running=$1 called: ${calls:-nothing}; expected: ${want:-nothing}"
  done
}
if [ -d /run/udev ]; then run_scripts yes; else run_scripts no; fi
# The other case in a mount namespace of its own (root only): /run/udev
# there or gone, the machine's /run untouched.
if [ "$(id -u)" = 0 ] && unshare --mount true 2>/dev/null; then
  export -f run_scripts fail
  export control fake root udev_calls
  if [ -d /run/udev ]; then
    unshare --mount bash -c 'mount -t tmpfs tmpfs /run && run_scripts no' || fail "scripts without udev"
  else
    unshare --mount bash -c 'mount -t tmpfs tmpfs /run && mkdir /run/udev && run_scripts yes' ||
      fail "scripts with udev running"
  fi
fi
rm -rf "$control" "$fake" "$root/udevadm.log"

"$here/check-tree.sh" "$root/usr" "${version%%-*}"
echo "package $deb: ok"
