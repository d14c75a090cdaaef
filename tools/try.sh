#!/usr/bin/env bash
# Try the display by hand: installs what is missing, builds the simulator and the tools, makes the
# demo's simulated device and opens it in a window. The keyboard's Escape, Enter, F1, Up and Down
# (and F6, F7, F9, F10) or the buttons under the display are the front panel's keys; closing the
# window switches the device off. Usage: tools/try.sh [--scale N] [more tovrask-sim options]
set -euo pipefail
cd "$(dirname "$0")/.."
out=$PWD/build/try-out
bash tools/prepare-demo.sh "$out"
bin=$PWD/build/demo/bin
root=$out/root

echo "The simulated display is $root; its console follows. Close the window to switch it off."
echo
set +e
"$bin/tovrask-sim" --root "$root" --window --screenshot "$out/screen.png" "$@"
status=$?
set -e
echo
echo "The program ended with status $status (0: start the application, 1: reboot, 124: switched off)."
echo "The last screen is in $out/screen.png"
