#!/usr/bin/env bash
# Long work through the device's main loop, measured where the user feels it, each figure beside
# its reference in the same run (bench/README.md keeps the table):
#   - a whole update of a generated bundle of 68 MiB in the simulator, from "ZUP Verify start" to
#     "Bundle extraction is complete.", beside `zup extract` of the same bundle onto the same tree;
#   - the framebuffer bytes the program's flushes wrote per bundle byte during that update;
#   - the CPU time used by 5 s in "Boot options" with no key, per second;
#   - a normal boot's load of a 64 MiB application ("Init: App file found" to "Load complete")
#     beside `cat` of the file.
# Key press to flushed picture is measured by bench_mainloop (Google Benchmark).
#
# Usage: tools/measure-mainloop.sh [--bin DIR] [--emulator "qemu-arm -L /"] [--update-only] [--runs N]
#   (VERBOSE=1 also prints each run of the update and of zup extract on standard error)
#   --bin DIR       where tovrask-sim and zup are (default: a Release build in build/measure)
#   --emulator CMD  runs both programs through CMD (an armhf build under qemu-arm): only the
#                   update ratio is measured then
#   --runs N        repetitions of each timed figure, medians shown (default 3)
set -euo pipefail
cd "$(dirname "$0")/.."
bin="" emulator="" update_only=0 runs=3
while [ $# -gt 0 ]; do
    case $1 in
        --bin) bin=$2; shift 2 ;;
        --emulator) emulator=$2; update_only=1; shift 2 ;;
        --update-only) update_only=1; shift ;;
        --runs) runs=$2; shift 2 ;;
        *) echo "usage: $0 [--bin DIR] [--emulator CMD] [--update-only] [--runs N]" >&2; exit 2 ;;
    esac
done
if [ -z "$bin" ]; then
    cmake -S . -B build/measure -DCMAKE_BUILD_TYPE=Release -DTOVRASK_TESTS=OFF > /dev/null
    cmake --build build/measure -j"$(nproc)" --target tovrask-sim zup > /dev/null
    bin=build/measure/bin
fi
bin=$(cd "$bin" && pwd)
# shellcheck disable=SC2206
emu=($emulator)
sim() { "${emu[@]}" "$bin/tovrask-sim" "$@"; }
zup() { "${emu[@]}" "$bin/zup" "$@"; }
supports_stats() { sim --help 2> /dev/null | grep -q -- --stats; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
median() { sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
# Each line of standard input with the real time before it (seconds, microsecond resolution).
stamp() { while IFS= read -r line; do printf '%s %s\n' "$EPOCHREALTIME" "$line"; done; }
# Seconds from the first stamped line holding $2 to the first later one holding $3, in file $1.
span() {
    awk -v a="$2" -v b="$3" '
        !s && index($0, a) { s = $1 }
        s && !e && index($0, b) { e = $1 }
        END { if (!s || !e) { print "missing " a " or " b > "/dev/stderr"; exit 1 } printf "%.6f\n", e - s }' "$1"
}
seconds() { local s=$EPOCHREALTIME; "$@" > /dev/null 2>&1; calc "$EPOCHREALTIME - $s"; }
calc() { awk "BEGIN { printf \"%.6f\\n\", $1 }"; }

# The bundle: four 17 MiB files of random data (stored as they are, as large files) and some
# text that LZO packs, 68 MiB in all.
tree=$work/tree
mkdir -p "$tree/arvel/data" "$tree/etc"
for i in 1 2 3 4; do head -c $((17 << 20)) /dev/urandom > "$tree/arvel/data/part$i"; done
for i in $(seq 1 32); do seq $((i * 1000)) $((i * 1000 + 9000)) > "$tree/arvel/data/table$i.txt"; done
echo "2.0" > "$tree/etc/zup_version"
zup create -o "$work/update.zup" "$tree" > /dev/null
bundle_bytes=$(stat -c %s "$work/update.zup")
cat "$work/update.zup" > /dev/null  # both read it from the page cache

# A device whose menu offers "Update" first (no application), with the bundle on its stick.
fresh_root() {
    rm -rf "$work/root"
    mkdir -p "$work/root"/dev/{mtdblock4/etc,mmcblk0p1,sda1} "$work/root"/mnt/{nand,usb}
    ln "$work/update.zup" "$work/root/dev/sda1/update.zup"
}
update_keys='until:"m_eState == sUpgrade" wait:100 ENTER until:"Mounted /mnt/usb/" wait:100 ENTER until:"Bundle extraction is complete." stop'

: > "$work/update" ; : > "$work/zup" ; : > "$work/bytes"
for _ in $(seq "$runs"); do
    fresh_root
    stats=()
    if supports_stats; then stats=(--stats); fi
    sim --root "$work/root" --keys "$update_keys" "${stats[@]}" 2> "$work/err" | stamp > "$work/out" || true
    span "$work/out" "ZUP Verify start" "Bundle extraction is complete." >> "$work/update"
    grep -o 'flushed [0-9]* bytes' "$work/err" | awk '{ print $2 }' >> "$work/bytes" || true
    rm -rf "$work/dest" && mkdir -p "$work/dest/etc"
    seconds zup extract "$work/update.zup" "$work/dest" >> "$work/zup"
done
[ -n "${VERBOSE:-}" ] && paste "$work/update" "$work/zup" >&2
update=$(median < "$work/update")
reference=$(median < "$work/zup")
printf '| update through the main loop, %s MiB bundle | %.3f s | `zup extract`: %.3f s | %.2f |\n' \
    $((bundle_bytes >> 20)) "$update" "$reference" "$(calc "$update / $reference")"
if [ -s "$work/bytes" ]; then
    bytes=$(median < "$work/bytes")
    printf '| framebuffer bytes written per bundle byte, that update | %s bytes | bundle: %s bytes | %.4f |\n' \
        "$bytes" "$bundle_bytes" "$(calc "$bytes / $bundle_bytes")"
fi
[ "$update_only" = 1 ] && exit 0

# CPU time: 5 s in the menu with no key, less the same run stopped as soon as the menu is up.
# User and system time of the simulator's process, from the shell that waited for it.
cpu() {
    bash -c '"$@" > /dev/null 2>&1; times' _ "$bin/tovrask-sim" --root "$work/root" --keys "$1" | tail -1 |
        awk 'function s(t, a) { split(t, a, "m"); sub("s", "", a[2]); return a[1] * 60 + a[2] } { print s($1) + s($2) }'
}
fresh_root
: > "$work/menu"
for _ in $(seq "$runs"); do
    stay=$(cpu 'until:"m_eState == sUpgrade" wait:100 wait:5000 stop')
    leave=$(cpu 'until:"m_eState == sUpgrade" wait:100 stop')
    calc "($stay - $leave) / 5" >> "$work/menu"
done
printf '| CPU time in "Boot options" with no key | %.3f s per s | 5 s of real time | %.3f |\n' \
    "$(median < "$work/menu")" "$(median < "$work/menu")"

# A normal boot with a 64 MiB application, beside cat of the same file.
rm -rf "$work/root"
mkdir -p "$work/root"/dev/mtdblock4/{arvel,etc} "$work/root"/mnt/nand
head -c $((64 << 20)) /dev/urandom > "$work/root/dev/mtdblock4/arvel/arvel"
printf 1 > "$work/root/dev/mtdblock4/etc/skip-update"
cat "$work/root/dev/mtdblock4/arvel/arvel" > /dev/null
: > "$work/boot" ; : > "$work/cat"
for _ in $(seq "$runs"); do
    "$bin/tovrask-sim" --root "$work/root" 2> /dev/null | stamp > "$work/out" || true
    span "$work/out" "Init: App file found" "Load complete" >> "$work/boot"
    seconds cat "$work/root/dev/mtdblock4/arvel/arvel" >> "$work/cat"
done
boot=$(median < "$work/boot")
reference=$(median < "$work/cat")
printf '| normal boot, load of a 64 MiB application | %.1f ms | `cat` of it: %.1f ms | %.2f |\n' \
    "$(calc "$boot * 1000")" "$(calc "$reference * 1000")" "$(calc "$boot / $reference")"
