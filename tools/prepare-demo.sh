#!/usr/bin/env bash
# What tools/demo.sh and tools/try.sh both start from: installs what is missing, builds the
# simulator and the tools into build/demo and makes the demo's simulated device afresh under
# OUTDIR/root (tools/make-demo-root.sh). Usage: tools/prepare-demo.sh OUTDIR
set -euo pipefail
out=$1
cd "$(dirname "$0")/.."
bash tools/install-deps.sh host
cmake -S . -B build/demo -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTOVRASK_TESTS=OFF > /dev/null
for target in tovrask-sim zup tovrask-picture; do
    cmake --build build/demo -j"$(nproc)" --target "$target" > /dev/null
done
rm -rf "$out"
bash tools/make-demo-root.sh "$out/root" "$PWD/build/demo/bin" > /dev/null
