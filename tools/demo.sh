#!/usr/bin/env bash
# Installs what is missing, builds the simulator and the tools, makes a simulated device and runs
# a whole update on it by key script: the "Boot options" menu, "Update", the file list, verifying,
# installing a new kernel, "Update success.", the restart and the exit with status 1
# ("Rebooting..."). Every frame the screen showed is written as a PNG.
set -euo pipefail
cd "$(dirname "$0")/.."
out=$PWD/build/demo-out
bash tools/prepare-demo.sh "$out"
bin=$PWD/build/demo/bin
root=$out/root

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
