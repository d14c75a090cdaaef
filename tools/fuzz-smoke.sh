#!/usr/bin/env bash
# A short libFuzzer run of every fuzz target under AddressSanitizer and UndefinedBehaviorSanitizer
# (clang build in build/fuzz). Exits non-zero when a target crashes, leaks, hangs or finds a
# bundle that reaches outside its root. Usage: tools/fuzz-smoke.sh [SECONDS per target, default 60]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
build=build/fuzz

cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_C_FLAGS=-fsanitize=fuzzer-no-link -DCMAKE_CXX_FLAGS=-fsanitize=fuzzer-no-link \
    -DTOVRASK_SANITIZE=ON -DTOVRASK_FUZZ=ON -DTOVRASK_TESTS=OFF -DTOVRASK_HOST_TOOLS=OFF \
    > "$build.log" || { cat "$build.log"; exit 1; }
cmake --build "$build" -j2 --target fuzz_bundle fuzz_font fuzz_image fuzz_detection fuzz_signature zup

# Seeds: real bundles made by zup from a small tree with every kind of entry, once as a body
# behind a valid head (first byte even) and once whole (odd).
# The targets make and remove many small files: a memory file system when there is one.
if [ -d /dev/shm ] && [ -w /dev/shm ]; then work=$(mktemp -d -p /dev/shm); else work=$(mktemp -d); fi
trap 'rm -rf "$work"' EXIT
tree=$work/tree
mkdir -p "$tree/etc/init.d" "$tree/var/log" "$tree/boot"
printf 'arvel\n' > "$tree/etc/hostname"
for i in $(seq 1 300); do echo "line $i of the start-up script"; done > "$tree/etc/init.d/rcS"
head -c 3000 /dev/urandom > "$tree/boot/zImage"
: > "$tree/var/log/empty"
ln -s ../etc/hostname "$tree/boot/name"
ln -s /etc "$tree/abs"
mkfifo "$tree/var/log/fifo"
chmod 0600 "$tree/etc/hostname"
corpus=$build/corpus-bundle
rm -rf "$corpus"
mkdir -p "$corpus"
"$build/bin/zup" create -o "$work/seed.zup" --large-threshold 2000 "$tree"
"$build/bin/zup" create -o "$work/stored.zup" --compress none "$tree"
for seed in seed stored; do
    { printf '\000'; tail -c +65 "$work/$seed.zup"; } > "$corpus/$seed-body"
    { printf '\001'; cat "$work/$seed.zup"; } > "$corpus/$seed-whole"
done

mkdir "$work/tmp"
export TMPDIR=$work/tmp
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
"$build/bin/fuzz_bundle" -max_total_time="$seconds" -max_len=65536 -timeout=10 \
    -rss_limit_mb=2048 -artifact_prefix="$build/" -print_final_stats=1 "$corpus"
echo "fuzz-smoke: fuzz_bundle ran $seconds s without a finding"

# The other inputs, each from a few seeds: the built-in font, the sample logo, /proc texts.
short=$(( seconds / 3 > 5 ? seconds / 3 : 5 ))
mkdir -p "$build/corpus-font" "$build/corpus-image" "$build/corpus-detection" "$build/corpus-signature"
# A font of two glyphs (an absent one, then a 1 x 2 bitmap) and a 2 x 2 image of a run and a literal.
printf 'QFONT.1\000\001\000\026\021\005\002\000\001\000\000\000\000\001\000\007\001\002\377\200\005\000\000\000\000\000\000\000AAA' \
    > "$build/corpus-font/two-glyphs"
printf 'QIM32.1\000\001\000\002\000\002\000\002\200\377\000\000\377\002\000\001\002\003\004\005\006\007\010' \
    > "$build/corpus-image/two-packets"
printf '\001console=ttyO2 qlx=ArvelII lcdt=1 root=/dev/mtdblock4\n' > "$build/corpus-detection/cmdline"
printf '\000Processor\t: ARMv7\nHardware\t: Gumstix Overo\n' > "$build/corpus-detection/cpuinfo"
# Signed manifests (first byte odd; the target signs them): the one it checks against, with CRLF
# line ends, and another size; and a signature file's first bytes (even).
hex=$(printf '5a%.0s' $(seq 32))
printf '\001sha256 %s\nsize 12345\n' "$hex" > "$build/corpus-signature/manifest"
printf '\001sha256 %s\r\nsize 12345\r\n' "$hex" > "$build/corpus-signature/manifest-crlf"
printf '\001sha256 %s\nsize 1\n' "$hex" > "$build/corpus-signature/other-size"
printf '\000\060\202\001\000\006\011\052\206\110\206\367\015\001\007\002' > "$build/corpus-signature/signed-data"
for target in font image detection signature; do
    "$build/bin/fuzz_$target" -max_total_time="$short" -max_len=32768 -timeout=10 -rss_limit_mb=2048 \
        -artifact_prefix="$build/" -print_final_stats=1 "$build/corpus-$target"
    echo "fuzz-smoke: fuzz_$target ran $short s without a finding"
done
