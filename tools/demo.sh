#!/usr/bin/env bash
# Installs what is missing, builds the simulator and the tools, makes a simulated device and runs
# a whole update on it by key script: the "Boot options" menu, "Update", the file list, verifying,
# installing a new kernel, "Update success.", the restart and the exit with status 1
# ("Rebooting..."). Every frame the screen showed is written as a PNG.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh host
cmake -S . -B build/demo -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTOVRASK_TESTS=OFF > /dev/null
for target in tovrask-sim zup tovrask-picture; do
    cmake --build build/demo -j"$(nproc)" --target "$target" > /dev/null
done
bin=$PWD/build/demo/bin

out=$PWD/build/demo-out
root=$out/root
rm -rf "$out"
bash tools/make-demo-root.sh "$root" "$bin" > /dev/null

echo "Running the simulator on $root (the console below is the device's)"
echo
set +e
"$bin/tovrask-sim" --root "$root" --size 800x480 --clock-rate 2 --timeout-ms 60000 \
    --frames "$out/frames" --screenshot "$out/screen.png" \
    --keys 'until:"m_eState == sUpgrade" wait:1500 DOWN wait:800 ENTER
            until:"Mounted /mnt/usb/" wait:1500 ENTER'
status=$?
set -e
echo
echo "The program ended with status $status (1: reboot into the new kernel)."
echo "The frames are in $out/frames/, the last screen in $out/screen.png"
