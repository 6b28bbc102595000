#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing (Debian 12), builds Glowdeck, then runs it or its tests.
#   ./build.sh run          build and start the desktop program
#   ./build.sh test         build and run every test
#   ./build.sh test-user    build and run every test as an ordinary user (uid 65534 when root)
#   ./build.sh bench        build and run the benchmarks
#   ./build.sh fuzz [SECS]  build every fuzzer with clang and run each for SECS seconds
#   ./build.sh test-sanitize  build the tests with ASan+UBSan in build-sanitize and run them
#   ./build.sh package      build the .deb (build/glowdeck_*.deb) and check it unpacked
#   ./build.sh format-check clang-format --dry-run --Werror over the tracked C++ files
#   ./build.sh translations update translations/glowdeck_en.ts from the sources (lupdate)
# GLOWDECK_WERROR=ON makes compiler warnings errors (CI sets it).
set -euo pipefail
cd "$(dirname "$0")"
action=${1:-run}

packages=(build-essential cmake ninja-build pkg-config
          qt6-base-dev qt6-serialport-dev libopencv-core-dev libopencv-imgproc-dev
          libqt6svg6 qt6-translations-l10n libpugixml-dev libgif-dev libjpeg62-turbo-dev libpng-dev libgtest-dev fonts-arphic-uming fonts-dejavu-core xvfb xauth
          qt6-image-formats-plugins libavformat-dev libavcodec-dev libswscale-dev libavutil-dev qt6-l10n-tools libwebp-dev)
[ "$action" = fuzz ] && packages+=(clang libclang-rt-14-dev)
# The checks of the desktop entry, the AppStream file and the MIME type.
case "$action" in test | test-user | package) packages+=(desktop-file-utils appstream shared-mime-info) ;; esac
# The fault-injection test runs the command-line tool under strace.
case "$action" in test | test-user | test-sanitize) packages+=(strace) ;; esac
# The tests make animated WebP files with img2webp, and video clips with ffmpeg.
case "$action" in test | test-user | test-sanitize) packages+=(webp ffmpeg) ;; esac
# CPack computes the package's dependencies with dpkg-shlibdeps, which needs
# `file`; dpkg-buildflags gives the hardening flags; lintian checks the result.
[ "$action" = package ] && packages+=(dpkg-dev fakeroot file lintian)
[ "$action" = format-check ] && packages+=(clang-format git)
# Photographs for the dithering benchmark; Pillow for the thumbnail one.
[ "$action" = bench ] && packages+=(mate-backgrounds python3-pil)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  if [ "$(id -u)" -ne 0 ]; then
    if ! command -v sudo >/dev/null; then
      echo "These Debian packages are missing: ${missing[*]}" >&2
      echo "Installing them needs root: run this command as root once, or install sudo," >&2
      echo "or have them installed (apt-get install ${missing[*]}) and run it again." >&2
      exit 1
    fi
    sudo_cmd=(sudo)
  fi
  "${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q
  "${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

jobs=$(nproc 2>/dev/null || echo 2)
build() {  # build DIR [cmake options...] [--target NAME]...
  local dir=$1; shift
  local options=() targets=()
  while [ $# -gt 0 ]; do
    if [ "$1" = --target ]; then targets+=("$2"); shift 2; else options+=("$1"); shift; fi
  done
  # ccache, where installed, makes rebuilds in other clones and folders cheap.
  command -v ccache >/dev/null && options+=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  cmake -S . -B "$dir" -G Ninja -DGLOWDECK_WERROR="${GLOWDECK_WERROR:-OFF}" "${options[@]}" >/dev/null
  if [ ${#targets[@]} -gt 0 ]; then
    cmake --build "$dir" -j "$jobs" --target "${targets[@]}"
  else
    cmake --build "$dir" -j "$jobs"
  fi
}

# Every libFuzzer target (tests/fuzz); each gets build-fuzz/corpus/NAME.
fuzzers=(projectfile-fuzzer datafile-fuzzer imagesource-fuzzer)
# Helpers the seeding needs, built with the fuzzers.
fuzz_helpers=(image-fuzz-seeds)
# Puts the seed inputs of fuzzer $1 into folder $2 (existing files are kept).
seed_corpus() {
  case "$1" in
    projectfile-fuzzer) cp -n tests/golden/*.prj "$2"/ 2>/dev/null || true ;;
    datafile-fuzzer) cp -n tests/golden/*.data.bin "$2"/ 2>/dev/null || true ;;
    imagesource-fuzzer) build-fuzz/bin/image-fuzz-seeds "$2" ;;
  esac
}

# Qt wants a private runtime folder; tests and headless runs draw offscreen.
private_runtime() {
  if [ -z "${XDG_RUNTIME_DIR:-}" ] || [ ! -d "${XDG_RUNTIME_DIR}" ]; then
    XDG_RUNTIME_DIR=$(mktemp -d /tmp/glowdeck-xdg.XXXXXX)
    chmod 700 "$XDG_RUNTIME_DIR"
    export XDG_RUNTIME_DIR
  fi
}

case "$action" in
  run)
    build build
    if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
      echo "No display: starting Glowdeck under a virtual X server (xvfb-run)."
      exec xvfb-run -a -s "-screen 0 1280x800x24" build/bin/glowdeck
    fi
    exec build/bin/glowdeck
    ;;
  test)
    build build
    private_runtime
    export QT_QPA_PLATFORM=offscreen
    cd build && ctest --output-on-failure -j "$jobs"
    ;;
  test-user)
    # The suite once more without root's privileges, which pass permission
    # checks and the serial ports' exclusive mode: a test that passes only as
    # root fails here. As root, the tests run as nobody (uid 65534) with a
    # home, runtime and temporary folder of their own.
    build build
    export QT_QPA_PLATFORM=offscreen
    if [ "$(id -u)" -ne 0 ]; then
      private_runtime
      cd build && exec ctest --output-on-failure -j "$jobs"
    fi
    user=65534
    as_user=(setpriv --reuid=$user --regid=$user --clear-groups)
    if ! "${as_user[@]}" test -r build/CTestTestfile.cmake -a -x tests/check_levels.sh; then
      echo "uid $user cannot read $(pwd)/build: the checkout must be in folders everyone may enter" >&2
      exit 1
    fi
    user_home=$(mktemp -d /tmp/glowdeck-user.XXXXXX)
    trap 'rm -rf "$user_home"' EXIT
    mkdir -m 700 "$user_home/runtime" "$user_home/tmp"
    chown -R $user:$user "$user_home"
    # What the tests write into the build folder: ctest its logs in
    # build/Testing, `cmake --install` its manifest.
    mkdir -p build/Testing
    touch build/install_manifest.txt
    chown -R $user:$user build/Testing build/install_manifest.txt
    cd build
    "${as_user[@]}" env -u XDG_CONFIG_HOME -u XDG_CACHE_HOME HOME="$user_home" \
      XDG_RUNTIME_DIR="$user_home/runtime" TMPDIR="$user_home/tmp" ctest --output-on-failure -j "$jobs"
    ;;
  test-sanitize)
    build build-sanitize -DGLOWDECK_SANITIZE=ON
    private_runtime
    export QT_QPA_PLATFORM=offscreen
    # Leak reports come from the libraries' own start-up caches (fontconfig,
    # Qt plugins) on every exit; memory errors and undefined behaviour halt.
    export ASAN_OPTIONS=detect_leaks=0:abort_on_error=0:halt_on_error=1
    export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
    cd build-sanitize && ctest --output-on-failure -j "$jobs" --timeout 600
    ;;
  package)
    # A build of its own with Debian's hardening flags (fortify, stack
    # protector, relro, bindnow, PIE), dated by SOURCE_DATE_EPOCH (by default
    # the release day, as a Debian build dates itself by its changelog).
    release_date=$(sed -n 's/^set(GLOWDECK_RELEASE_DATE \(.*\))$/\1/p' CMakeLists.txt)
    export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(date -u -d "$release_date" +%s)}
    export DEB_BUILD_MAINT_OPTIONS=hardening=+all
    build build-package -DGLOWDECK_BUILD_TESTS=OFF \
      -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
      -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)"
    mkdir -p build
    rm -f build/glowdeck_*.deb build-package/glowdeck_*.deb
    (cd build-package && cpack -G DEB >/dev/null)
    mv build-package/glowdeck_*.deb build/
    deb=$(ls build/glowdeck_*.deb)
    echo "built $deb"
    # Errors and warnings fail the package; so do the hardening tags, which
    # lintian reports as information.
    lintian --fail-on none --tag-display-limit 0 -I "$deb" >build/lintian.txt
    cat build/lintian.txt
    if grep -E '^[EW]: |hardening-no-' build/lintian.txt >/dev/null; then
      echo "lintian: $deb has errors, warnings or missing hardening (build/lintian.txt)" >&2
      exit 1
    fi
    private_runtime
    tests/install/check-package.sh "$deb"
    ;;
  translations)
    # New texts come in unfinished; translate them in the file (or with
    # linguist) until tests/i18n/check_translations.sh passes.
    tests/i18n/check_translations.sh --update
    ;;
  format-check)
    git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror
    ;;
  bench)
    build build
    private_runtime
    export QT_QPA_PLATFORM=offscreen
    for b in build/bench/*; do if [ -f "$b" ] && [ -x "$b" ]; then "$b"; fi; done
    ;;
  fuzz)
    secs=${2:-60}
    targets=()
    for f in "${fuzzers[@]}" "${fuzz_helpers[@]}"; do targets+=(--target "$f"); done
    CC=clang CXX=clang++ build build-fuzz -DGLOWDECK_BUILD_FUZZERS=ON -DGLOWDECK_BUILD_TESTS=OFF \
      -DCMAKE_BUILD_TYPE=RelWithDebInfo "${targets[@]}"
    private_runtime
    export QT_QPA_PLATFORM=offscreen
    failed=()
    for f in "${fuzzers[@]}"; do
      corpus=build-fuzz/corpus/${f%-fuzzer}
      mkdir -p "$corpus"
      seed_corpus "$f" "$corpus"
      echo "== $f for $secs s"
      build-fuzz/bin/"$f" -max_total_time="$secs" -max_len=65536 -timeout=30 -rss_limit_mb=4096 \
        -artifact_prefix="build-fuzz/${f%-fuzzer}-" "$corpus" || failed+=("$f")
    done
    if [ ${#failed[@]} -gt 0 ]; then
      echo "fuzzers that found a fault: ${failed[*]} (inputs in build-fuzz/)" >&2
      exit 1
    fi
    ;;
  *)
    echo "usage: $0 run|test|test-user|test-sanitize|package|format-check|translations|bench|fuzz [seconds]" >&2
    exit 2
    ;;
esac
