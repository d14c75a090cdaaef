#!/usr/bin/env bash
# Makes the guest's SD card, without root: 64 MiB (QEMU wants a power of two), three vfat
# partitions: p1 the boot partition, p2 the maps storage, p3 what the guest shows as the USB stick.
# Each given folder's files are copied onto its partition.
# Usage: tools/rig/make-sd.sh OUT.img BOOT_DIR MAPS_DIR STICK_DIR
set -euo pipefail
out=$1
folders=([1]=$2 [2]=$3 [3]=$4)
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=tools/rig/sd-layout.sh
. "$here/sd-layout.sh"

rm -f "$out"
truncate -s $((sd_sectors * 512)) "$out"
{
    echo "label: dos"
    for n in 1 2 3; do echo "start=${sd_start[$n]}, size=${sd_size[$n]}, type=e"; done
} | sfdisk --quiet "$out"
for n in 1 2 3; do
    mkfs.vfat --offset "${sd_start[$n]}" -n "P$n" "$out" $((sd_size[n] / 2)) > /dev/null 2>&1
    folder=${folders[$n]}
    if [ -n "$(ls -A "$folder")" ]; then
        mcopy -s -i "$out@@$(sd_offset "$n")" "$folder"/* ::/
    fi
done
