#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs every glowdeck-cli command that changes a project under strace, fails
# one of its system calls (write, fsync, close, rename, openat) with ENOSPC or
# EIO or kills the command at that call, and checks what a user relies on:
#   - the exit status is non-zero exactly when nothing changed (exit 0: the
#     change is there; a killed command may leave either state);
#   - Index.prj is byte for byte the old file or the new one (ids aside), and
#     data.bin the old or the newly compiled one;
#   - every item in Index.prj has its image file in Images/;
#   - the next command succeeds and leaves no temporary file behind.
# The calls are sampled: a first run counts the calls that touch the project,
# the source files, the column cache or the command's output, and a few of
# them, spread over the command, are injected.
#
#   inject.sh [--cli PATH] [--samples K] [--jobs J] [--keep] [CASE...]
#             [--syscall write|fsync|close|rename|openat] [--error ENOSPC|EIO|KILL] [--at N]
#
# CASE is a case name (see --list) or its first word ("add", "set-source");
# without one every case runs. --syscall, --error and --at narrow the runs (with
# --at, only that call number is injected). Exit 0 when every run kept the
# invariants, 1 when one did not (each is printed with a command line that
# repeats it), 2 on a usage error, 77 when strace cannot trace here.
set -uo pipefail

here=$(cd "$(dirname "$0")" && pwd)
cli=${GLOWDECK_CLI:-$here/../../build/bin/glowdeck-cli}
samples=4
jobs=$(nproc 2>/dev/null || echo 2)
keep=0
only_syscall=''
only_error=''
only_at=''
wanted=()
list_only=0

help_text() { sed -n '/^#   inject.sh/,/^[^#]/s/^# \{0,1\}//p' "$0"; }
usage() {
  help_text >&2
  exit 2
}

while [ $# -gt 0 ]; do
  case "$1" in
    --cli) cli=$2; shift 2 ;;
    --samples) samples=$2; shift 2 ;;
    --jobs) jobs=$2; shift 2 ;;
    --keep) keep=1; shift ;;
    --syscall) only_syscall=$2; shift 2 ;;
    --error) only_error=$2; shift 2 ;;
    --at) only_at=$2; shift 2 ;;
    --list) list_only=1; shift ;;
    -h | --help) help_text; exit 0 ;;
    -*) echo "unknown option: $1" >&2; usage ;;
    *) wanted+=("$1"); shift ;;
  esac
done
[[ $samples =~ ^[1-9][0-9]*$ && $jobs =~ ^[1-9][0-9]*$ ]] || usage
[ -z "$only_at" ] || [[ $only_at =~ ^[1-9][0-9]*$ ]] || usage
case "$only_syscall" in '' | write | fsync | close | rename | openat) ;; *) usage ;; esac
case "$only_error" in '' | ENOSPC | EIO | KILL) ;; *) usage ;; esac

if [ ! -x "$cli" ]; then
  echo "no glowdeck-cli at $cli (build it, or give --cli PATH)" >&2
  exit 2
fi

# The system calls of each injected set; a set's calls are counted apart.
declare -A syscall_set=(
  [write]=write [fsync]=fsync,fdatasync [close]=close
  [rename]=rename,renameat,renameat2 [openat]=openat
)
syscall_order=(write fsync close rename openat)

# Each case: its name, then the command's words. P is the project, R the
# project root, S the folder of source files.
cases=(
  "new|new --root R q"
  "add-group|add-group P 组二"
  "add-picture|add P 1 picture"
  "add-animation|add P 2 animation"
  "add-text|add P 1 text 文字"
  "add-interval|add P 1 interval"
  "set-source-picture|set-source P 1 1 S/picture.bmp"
  "set-source-animation|set-source P 1 2 S/animation.gif"
  "set-text|set-text P 1 3 欢迎光临 --color yellow --background blue"
  "set-interval|set-interval P 1 4 --length 33 --background red"
  "set-threshold|set-threshold P 1 1 10 20 30"
  "set-dither|set-dither P 1 1 on"
  "compile|compile P"
)
# `clean` removes images no item uses, where this build has it.
if "$cli" clean --help >/dev/null 2>&1; then cases+=("clean|clean P"); fi

selected=()
for c in "${cases[@]}"; do
  name=${c%%|*}
  if [ ${#wanted[@]} -eq 0 ]; then selected+=("$c"); continue; fi
  for w in "${wanted[@]}"; do
    if [ "$name" = "$w" ] || [[ $name == "$w"-* ]]; then selected+=("$c"); break; fi
  done
done
if [ $list_only = 1 ]; then
  for c in "${cases[@]}"; do echo "${c%%|*}: glowdeck-cli ${c#*|}"; done
  exit 0
fi
if [ ${#selected[@]} -eq 0 ]; then
  echo "no case matches: ${wanted[*]} (--list shows them)" >&2
  exit 2
fi

# strace must be able to trace (a container may forbid ptrace).
if ! command -v strace >/dev/null; then
  echo "skipped: strace is not installed"
  exit 77
fi
if ! why=$(strace -f -qq -o /dev/null -e trace=none true 2>&1); then
  echo "skipped: strace cannot trace here: $why"
  exit 77
fi
# Stopping only at the traced calls (seccomp) makes the runs much cheaper.
strace_options=(-f -qq)
if strace -f -qq --seccomp-bpf -o /dev/null -e trace=write true 2>/dev/null; then
  strace_options+=(--seccomp-bpf)
fi
# An injection only takes effect on a traced call: make sure it does.
if strace "${strace_options[@]}" -o /dev/null -e trace=write -e inject=write:error=EIO \
  /bin/echo x >/dev/null 2>&1; then
  echo "strace does not inject errors here" >&2
  exit 1
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/glowdeck-inject.XXXXXX")
cleanup() { if [ $keep = 0 ]; then rm -rf "$work"; else echo "kept $work"; fi; }
trap cleanup EXIT
trap 'kill $(jobs -p) 2>/dev/null; exit 130' INT TERM
started=$SECONDS

# A copy of the program of its own: it reads setting.ini beside itself, and
# the build folder's settings must not change what these runs do.
mkdir -p "$work/prog" "$work/src" "$work/template/home" "$work/results"
cp "$cli" "$work/prog/glowdeck-cli"
# With the program it hands its drawing and editing commands to.
cp "$cli-full" "$work/prog/glowdeck-cli-full"

# Runs glowdeck-cli with HOME=$1 (settings and the column cache live there);
# no command takes a minute here.
run_cli() {
  local home=$1; shift
  env -u XDG_CONFIG_HOME -u XDG_CACHE_HOME \
    HOME="$home" LANG=C.UTF-8 LC_ALL=C.UTF-8 QT_QPA_PLATFORM=offscreen \
    timeout -k 5 60 "$work/prog/glowdeck-cli" "$@"
}

# The state every case starts from: a compiled project whose data.bin is out
# of date (an interval changed since), with every kind of item in group 1, an
# empty group 2, and a warm column cache.
template=$work/template
tp=$template/root/p
{
  run_cli "$template/home" new --root "$template/root" p &&
    for kind in picture animation text interval; do run_cli "$template/home" add "$tp" 1 $kind; done &&
    run_cli "$template/home" add-group "$tp" &&
    run_cli "$template/home" compile "$tp" &&
    run_cli "$template/home" set-interval "$tp" 1 4 --length 17
} >"$work/template.log" 2>&1 || {
  echo "could not build the starting project:" >&2
  cat "$work/template.log" >&2
  exit 1
}
# The placeholders make good sources: a picture and a one-frame GIF.
image_of() { grep -oE "<$1 [^>]*" "$tp/Index.prj" | grep -oE '[0-9A-F]{8}(-[0-9A-F]{4}){3}-[0-9A-F]{12}'; }
cp "$tp/Images/$(image_of picture).bmp" "$work/src/picture.bmp" &&
  cp "$tp/Images/$(image_of gif).gif" "$work/src/animation.gif" || exit 1
# An image no item uses, for `clean` to remove.
cp "$work/src/picture.bmp" "$tp/Images/00000000-0000-0000-0000-000000000000.bmp"

# Item ids are fresh GUIDs on every run; compare project files without them.
without_ids() {
  sed -E 's/[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}/ID/g' "$1"
}

# Copies the starting state into case folder $1 and prints the command words
# of case $2 with P, R and S filled in, one a line.
prepare() {
  local dir=$1 words=$2
  mkdir -p "$dir/out"
  cp -a "$template/root" "$template/home" "$dir/"
  local w
  for w in $words; do
    case "$w" in
      P) echo "$dir/root/p" ;;
      R) echo "$dir/root" ;;
      S/*) echo "$work/src/${w#S/}" ;;
      *) echo "$w" ;;
    esac
  done
}

# The project a case changes: q for `new`, else p.
project_of() { if [ "$1" = new ]; then echo "$2/root/q"; else echo "$2/root/p"; fi; }

# Reference run: the case without injection; keeps the new Index.prj (ids
# left out) and data.bin, then counts the traced calls that matter.
reference() {
  local name=$1 words=$2 dir=$work/ref/$1
  local -a argv
  mapfile -t argv < <(prepare "$dir" "$words")
  if ! run_cli "$dir/home" "${argv[@]}" >"$dir/out/stdout" 2>"$dir/out/stderr"; then
    echo "$name fails without injection:" >&2
    cat "$dir/out/stderr" >&2
    return 1
  fi
  local project
  project=$(project_of "$name" "$dir")
  without_ids "$project/Index.prj" >"$dir/new.prj"
  cp "$project/data.bin" "$dir/new.bin" 2>/dev/null || : >"$dir/new.bin"

  # The counting run, one trace file per thread (injections count per thread).
  local cdir=$work/count/$name
  mapfile -t argv < <(prepare "$cdir" "$words")
  mkdir -p "$cdir/trace"
  local all
  all=$(IFS=,; echo "${syscall_set[*]}")
  env -u XDG_CONFIG_HOME -u XDG_CACHE_HOME \
    HOME="$cdir/home" LANG=C.UTF-8 LC_ALL=C.UTF-8 QT_QPA_PLATFORM=offscreen \
    strace "${strace_options[@]}" -ff -y -s 0 -o "$cdir/trace/t" -e trace="$all" -e signal=none \
    "$work/prog/glowdeck-cli" "${argv[@]}" >"$cdir/out/stdout" 2>"$cdir/out/stderr"
  # For each set: the call numbers (per thread and system call) of the calls
  # on the project, the sources, the cache or the output.
  local set
  for set in "${syscall_order[@]}"; do
    local f
    for f in "$cdir"/trace/t.*; do
      awk -v calls="${syscall_set[$set]}" \
        -v a="$cdir/root" -v b="$cdir/out" -v c="$cdir/home/.cache/glowdeck" -v d="$work/src/" '
        BEGIN { n = split(calls, list, ","); for (k = 1; k <= n; k++) want[list[k]] = 1 }
        {
          name = $0; sub(/\(.*/, "", name)
          if (!(name in want)) next
          count[name]++
          if (index($0, a) || index($0, b) || index($0, c) || index($0, d)) print count[name]
        }' "$f"
    done | sort -n -u >"$dir/calls.$set"
  done
}

# Up to $samples numbers from the file $1, spread from its first to its last.
spread() {
  local -a all
  mapfile -t all <"$1"
  local n=${#all[@]} k
  if [ "$n" -le "$samples" ]; then
    printf '%s\n' "${all[@]}"
    return
  fi
  for ((k = 0; k < samples; k++)); do echo "${all[$((k * (n - 1) / (samples - 1)))]}"; done | uniq
}

# Prints the runs of one case: "NAME SET ERROR N" a line. ENOSPC and EIO take
# turns over the sampled calls (both at each call when there are few), and a
# kill comes at every sampled rename (just before a file is replaced) and at
# the last sampled write (often the report after the change).
plan_case() {
  local name=$1 set
  for set in "${syscall_order[@]}"; do
    [ -z "$only_syscall" ] || [ "$only_syscall" = "$set" ] || continue
    local -a ns
    if [ -n "$only_at" ]; then
      ns=("$only_at")
    else
      mapfile -t ns < <(spread "$work/ref/$name/calls.$set")
    fi
    local count=${#ns[@]} k
    for ((k = 0; k < count; k++)); do
      local n=${ns[$k]}
      local -a errors=()
      if [ -n "$only_error" ]; then
        errors=("$only_error")
      elif [ -n "$only_at" ]; then
        errors=(ENOSPC EIO KILL)
      else
        if [ $((count * 2)) -le "$samples" ]; then errors=(ENOSPC EIO)
        elif [ $((k % 2)) = 0 ]; then errors=(ENOSPC)
        else errors=(EIO); fi
        if [ "$set" = rename ] || { [ "$set" = write ] && [ $k = $((count - 1)) ]; }; then
          errors+=(KILL)
        fi
      fi
      local e
      for e in "${errors[@]}"; do echo "$name $set $e $n"; done
    done
  done
}

# Runs the command in case folder $1 under strace with injection $2 into the
# traced calls $3.
injected_run() {
  local dir=$1 injection=$2 calls=$3; shift 3
  env -u XDG_CONFIG_HOME -u XDG_CACHE_HOME \
    HOME="$dir/home" LANG=C.UTF-8 LC_ALL=C.UTF-8 QT_QPA_PLATFORM=offscreen \
    timeout -k 5 60 strace "${strace_options[@]}" -o /dev/null -e trace="$calls" -e "$injection" \
    "$work/prog/glowdeck-cli" "$@" >"$dir/out/stdout" 2>"$dir/out/stderr"
}

# Runs one injection and checks the invariants; a broken one is written to
# results/ID.fail, one line each.
inject_one() {
  local name=$1 set=$2 err=$3 n=$4 words=$5 id=$6
  local dir=$work/run/$id ref=$work/ref/$1
  local -a argv
  mapfile -t argv < <(prepare "$dir" "$words")
  local project old_prj='' old_bin=''
  project=$(project_of "$name" "$dir")
  if [ -f "$project/Index.prj" ]; then old_prj=$dir/old.prj; cp "$project/Index.prj" "$old_prj"; fi
  if [ -f "$project/data.bin" ]; then old_bin=$dir/old.bin; cp "$project/data.bin" "$old_bin"; fi

  local how="error=$err"
  [ "$err" = KILL ] && how="signal=KILL"
  local injection="inject=${syscall_set[$set]}:$how:when=$n"
  local status
  # (The shell's own "Killed" notice goes to /dev/null.)
  injected_run "$dir" "$injection" "${syscall_set[$set]}" "${argv[@]}" 2>/dev/null
  status=$?

  local -a faults=()
  fault() { faults+=("$*"); }
  if [ $status = 124 ] || [ $status = 137 ] && [ "$err" != KILL ]; then
    fault "did not finish within 60 s"
  elif [ $status -gt 128 ] && [ "$err" != KILL ]; then
    fault "died of signal $((status - 128))"
  fi

  # Which version of Index.prj and data.bin is there now.
  local prj_state bin_state
  if [ ! -e "$project/Index.prj" ]; then
    if [ -z "$old_prj" ] && [ ! -e "$project" ]; then prj_state=old
    elif [ -z "$old_prj" ]; then prj_state=half  # a project folder without its file
    else prj_state=gone; fi
  elif [ -n "$old_prj" ] && cmp -s "$old_prj" "$project/Index.prj"; then
    prj_state=old
  elif cmp -s <(without_ids "$project/Index.prj") "$ref/new.prj"; then
    prj_state=new
  else
    prj_state=torn
  fi
  if [ ! -e "$project/data.bin" ]; then
    if [ -z "$old_bin" ]; then bin_state=old; else bin_state=gone; fi
  elif [ -n "$old_bin" ] && cmp -s "$old_bin" "$project/data.bin"; then
    bin_state=old
  elif [ "$name" = compile ] && cmp -s "$ref/new.bin" "$project/data.bin"; then
    bin_state=new
  else
    bin_state=torn
  fi

  case "$prj_state" in
    gone) fault "Index.prj is gone" ;;
    half) fault "the project folder is there without Index.prj" ;;
    torn) fault "Index.prj is neither the old nor the new version" ;;
  esac
  case "$bin_state" in
    gone) fault "data.bin is gone" ;;
    torn) fault "data.bin is neither the old nor the newly compiled one" ;;
  esac

  # The change this case makes: Index.prj, or data.bin for compile; clean
  # removes files only, and a partial clean harms nothing.
  local changed
  case "$name" in
    compile) changed=$bin_state ;;
    clean) changed='' ;;
    *) changed=$prj_state ;;
  esac
  if [ "$err" != KILL ] && { [ "$changed" = old ] || [ "$changed" = new ]; }; then
    if [ $status = 0 ] && [ "$changed" != new ]; then
      fault "exit 0 but the change is not there"
    elif [ $status != 0 ] && [ "$changed" != old ]; then
      fault "exit $status but the project changed"
    fi
  fi
  if [ "$name" = clean ] || [ "$name" = compile ]; then
    [ "$prj_state" = old ] || fault "$name changed Index.prj"
  fi
  if [ "$name" != compile ] && [ "$bin_state" != old ]; then
    fault "data.bin changed"
  fi

  # Every item has its image.
  if [ -f "$project/Index.prj" ]; then
    local item
    for item in $(grep -oE ' id="[^"]*"' "$project/Index.prj" | sed -E 's/ id="(.*)"/\1/'); do
      local found=0 file
      for file in "$project/Images/$item".*; do
        if [ -f "$file" ] && [ -s "$file" ]; then found=1; break; fi
      done
      [ $found = 1 ] || fault "item $item has no image in Images/"
    done
  fi

  # A clean that reported success left no image that no item uses.
  if [ "$name" = clean ] && [ $status = 0 ] && [ -f "$project/Index.prj" ]; then
    local image unused=''
    for image in "$project"/Images/*; do
      [ -e "$image" ] || continue
      image=${image##*/}
      grep -q " id=\"${image%%.*}\"" "$project/Index.prj" || unused+="$image "
    done
    [ -z "$unused" ] || fault "exit 0 but images no item uses remain: $unused"
  fi

  # The next command: the same again, or `add-group` where `new` made the
  # project already. It must work, and leave no temporary file anywhere.
  local -a next=("${argv[@]}")
  if [ "$name" = new ] && [ -e "$project" ]; then next=(add-group "$project"); fi
  if ! run_cli "$dir/home" "${next[@]}" >"$dir/out/next.stdout" 2>"$dir/out/next.stderr"; then
    fault "the next command failed: glowdeck-cli ${next[0]}: $(head -c 300 "$dir/out/next.stderr" | tr '\n' ' ')"
  fi
  local leftovers
  leftovers=$(cd "$dir" && find root home/.cache/glowdeck -name '*.tmp' 2>/dev/null | head -n 5 | tr '\n' ' ')
  [ -z "$leftovers" ] || fault "temporary files after the next command: $leftovers"
  if [ "$name" = new ]; then
    leftovers=$(cd "$dir/root" && ls -A | grep -vxE 'p|q' | tr '\n' ' ')
    [ -z "$leftovers" ] || fault "left beside the project after the next command: $leftovers"
  fi

  if [ ${#faults[@]} -gt 0 ]; then
    local says
    says=$(head -c 300 "$dir/out/stderr" | tr '\n' ' ')
    {
      for f in "${faults[@]}"; do
        echo "FAIL $name: $set $how at call $n (exit $status): $f"
      done
      echo "  command: glowdeck-cli ${words}"
      [ -z "$says" ] || echo "  it said: $says"
      echo "  again: $0 $name --syscall $set --error $err --at $n"
    } >"$work/results/$id.fail"
  fi
  [ $keep = 1 ] || rm -rf "$dir"
}

# Phase 1: the reference and counting runs, then the plan.
declare -A words_of
for c in "${selected[@]}"; do words_of[${c%%|*}]=${c#*|}; done
for c in "${selected[@]}"; do
  while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do wait -n; done
  { reference "${c%%|*}" "${c#*|}" || touch "$work/setup-failed"; } &
done
wait
[ ! -e "$work/setup-failed" ] || exit 1

plan=()
for c in "${selected[@]}"; do mapfile -t -O ${#plan[@]} plan < <(plan_case "${c%%|*}"); done

# Phase 2: the injected runs, $jobs at a time.
id=0
for line in "${plan[@]}"; do
  read -r name set err n <<<"$line"
  id=$((id + 1))
  while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do wait -n; done
  inject_one "$name" "$set" "$err" "$n" "${words_of[$name]}" "$id" &
done
wait

failures=$(find "$work/results" -name '*.fail' | wc -l)
if [ "$failures" -gt 0 ]; then
  find "$work/results" -name '*.fail' | sort -V | xargs cat
fi
echo "fault injection: ${#plan[@]} runs over ${#selected[@]} commands, $failures broke an invariant ($((SECONDS - started)) s)"
[ "$failures" = 0 ]
