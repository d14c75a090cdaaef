#!/usr/bin/env bash
# One run of every benchmark on this machine, each figure beside its physical reference, printed
# as one Markdown table (bench/README.md keeps the last one). Release build in build/measure.
# Usage: tools/measure.sh [MIN_TIME seconds per benchmark, default 0.5]
set -euo pipefail
cd "$(dirname "$0")/.."
min_time=${1:-0.5}
build=build/measure
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DTOVRASK_TESTS=OFF > /dev/null
for target in engine_bench text_bench bench_update tovrask-sim; do
    cmake --build "$build" -j"$(nproc)" --target "$target" > /dev/null
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# name,iterations,real_time,cpu_time,time_unit,... -> "name real_time unit" (real time, as cp -a's)
for b in engine_bench text_bench bench_update; do
    "$build/bin/$b" --benchmark_min_time="$min_time" --benchmark_format=csv 2> /dev/null |
        awk -F, 'NR > 1 && $1 != "" { gsub(/"/, "", $1); print $1, $3, $5 }' >> "$work/all"
done

# A normal boot in the simulator with a 64 MiB application, beside cat of the same file.
root=$work/root
mkdir -p "$root"/dev/mtdblock4/{arvel,etc} "$root"/mnt/nand
head -c 67108864 /dev/urandom > "$root/dev/mtdblock4/arvel/arvel"
printf 1 > "$root/dev/mtdblock4/etc/skip-update"
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
ms() { local s e; s=$(date +%s%N); "$@" > /dev/null 2>&1 || true; e=$(date +%s%N); echo $(( (e - s) / 1000000 )); }
cat "$root/dev/mtdblock4/arvel/arvel" > /dev/null  # warm the page cache for both
for i in 1 2 3 4 5; do ms "$build/bin/tovrask-sim" --root "$root"; done | median > "$work/boot"
for i in 1 2 3 4 5; do ms cat "$root/dev/mtdblock4/arvel/arvel"; done | median > "$work/cat"
echo "NormalBoot64MiB $(cat "$work/boot") ms" >> "$work/all"
echo "Cat64MiB $(cat "$work/cat") ms" >> "$work/all"

awk '
function t(name) { if (!(name in time)) { print "missing " name > "/dev/stderr"; return 0 } return time[name] }
function ns(v, u) { return u == "ms" ? v * 1e6 : u == "us" ? v * 1e3 : v }
function show(v) {
    if (v >= 1e6) return sprintf("%.3g ms", v / 1e6)
    if (v >= 1e3) return sprintf("%.3g µs", v / 1e3)
    return sprintf("%.3g ns", v)
}
function row(what, a, ref, b) {
    ta = ns(t(a), unit[a]); tb = ns(t(b), unit[b])
    printf "| %s | %s | %s | %s | %.2f |\n", what, show(ta), ref, show(tb), (tb > 0 ? ta / tb : 0)
}
{ time[$1] = $2; unit[$1] = $3 }
END {
    print "| figure | time | reference | reference time | ratio |"
    print "| --- | --- | --- | --- | --- |"
    row("`DrawRect` full-screen fill", "FillDrawRect", "memset, same bytes", "FillMemset")
    row("480 horizontal lines", "HorizontalLines", "memset", "FillMemset")
    row("480 diagonal lines", "DiagonalLines", "memset", "FillMemset")
    row("`DrawImage` 800 x 480 at 50 % alpha", "ImageHalfAlpha", "memcpy of the image", "ImageMemcpy")
    row("`Flush`, packed rows", "Flush", "memcpy, same bytes", "FlushMemcpy")
    row("`Flush`, padded rows", "FlushPadded", "memcpy", "FlushMemcpy")
    row("30-character line of text", "DrawTextLine", "memcpy of its glyph bitmaps", "CopyGlyphBitmaps")
    row("MD5, 64-byte buffers", "Md5Tovrask/64", "OpenSSL MD5", "Md5OpenSsl/64")
    row("MD5, 8 KiB buffers", "Md5Tovrask/8192", "OpenSSL MD5", "Md5OpenSsl/8192")
    row("MD5, 1 MiB buffers", "Md5Tovrask/1048576", "OpenSSL MD5", "Md5OpenSsl/1048576")
    row("`VerifyStep`, 32 MiB bundle", "VerifyStepWhole/Md5", "8 KiB reads + OpenSSL MD5", "ReadAndOpenSslMd5")
    row("`VerifyStep` with a CA: + SHA-256 and signature", "VerifyStepWhole/Signed", "`VerifyStep`, MD5 alone", "VerifyStepWhole/Md5")
    row("extraction into an empty root", "ExtractLzoTree/0/real_time", "`cp -a` of the tree", "CopyTree/real_time")
    row("extraction onto the unchanged tree", "ExtractLzoTree/1/real_time", "`cp -a`", "CopyTree/real_time")
    row("normal boot in the simulator, 64 MiB application", "NormalBoot64MiB", "`cat` of the file", "Cat64MiB")
}' "$work/all"
