#!/usr/bin/env bash
# Runs the device's flows with the static armhf tovrask on a real ARM Linux kernel under
# qemu-system-arm (tools/rig/README.md), one guest boot per flow, and compares the guest's screens
# with the simulator's. Ends with "N passed, M failed"; fails when a flow failed.
# Usage: tools/test-rig.sh TOVRASK [HOST_BIN]
#   TOVRASK   the static armhf program (e.g. build/test-armhf-static/bin/tovrask)
#   HOST_BIN  the workstation build's bin/ with tovrask-sim, zup and tovrask-picture
#             (default build/test-x86/bin)
# RIG_FLOWS="NAME ..." runs only those flows (tools/rig/flows.py).
set -euo pipefail
[ $# -ge 1 ] || { echo "usage: tools/test-rig.sh TOVRASK [HOST_BIN]" >&2; exit 2; }
program=$(realpath "$1")
host_bin=$(realpath "${2:-build/test-x86/bin}")
cd "$(dirname "$0")/.."
for tool in tovrask-sim zup tovrask-picture; do
    [ -x "$host_bin/$tool" ] || { echo "test-rig: no $host_bin/$tool" >&2; exit 2; }
done
bash tools/install-deps.sh rig

work=$PWD/build/rig
cache=$work/cache
mkdir -p "$work"
echo "=== rig: kernel and packages from Debian's archive"
release=$(bash tools/rig/fetch.sh "$cache" | tail -n 1)
echo "kernel $release"
src=$cache/root

echo "=== rig: the yaffs2 stand-in module, the device tree, the media, the initramfs"
rm -rf "$work/yaffs2"
cp -r tools/rig/yaffs2 "$work/yaffs2"
make -s -C "$src/usr/src/linux-headers-$release" M="$work/yaffs2" ARCH=arm \
    CROSS_COMPILE=arm-linux-gnueabihf- modules > "$work/yaffs2.log" 2>&1 ||
    { cat "$work/yaffs2.log"; exit 1; }
bash tools/rig/make-dtb.sh "$src/usr/lib/linux-image-$release/vexpress-v2p-ca9.dtb" "$work/guest.dtb"
bash tools/rig/make-flow-data.sh "$work/data" "$host_bin"
bash tools/rig/make-initramfs.sh "$src" "$release" "$work/yaffs2/yaffs2_standin.ko" "$program" \
    "$work/data/nand" "$work/initrd.gz"

echo "=== rig: flows"
only=()
for flow in ${RIG_FLOWS:-}; do only+=(--only "$flow"); done
python3 tools/rig/rig.py "${only[@]}" --work "$work/flows" --kernel "$src/boot/vmlinuz-$release" --dtb "$work/guest.dtb" \
    --initrd "$work/initrd.gz" --data "$work/data" --sim "$host_bin/tovrask-sim"
