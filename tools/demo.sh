#!/usr/bin/env bash
# Installs what is missing, builds the simulator and runs its demo on a simulated 800x480 display,
# writing what the screen showed as a PNG.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh host
cmake -S . -B build/demo -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTOVRASK_TESTS=OFF > /dev/null
cmake --build build/demo -j"$(nproc)" --target tovrask-sim

out=$PWD/build/demo-out
root=$out/root
rm -rf "$out"
mkdir -p "$root"
./build/demo/bin/tovrask-sim --root "$root" --size 800x480 --screenshot "$out/screen.png"
echo
echo "The screen is in $out/screen.png"
