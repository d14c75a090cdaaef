#!/usr/bin/env bash
# Makes a simulated Arvel display under ROOT for tovrask-sim: a NAND with an application, its logo
# and an installed version, the boot partition, an empty maps storage, a USB stick holding an
# update bundle that installs a new kernel, stub service commands, and the kernel's view of the
# board. Usage: tools/make-demo-root.sh ROOT BINDIR (BINDIR holds zup and tovrask-picture).
set -euo pipefail
root=$1
bin=$2
here=$(cd "$(dirname "$0")" && pwd)

nand=$root/dev/mtdblock4
mkdir -p "$nand"/{arvel,etc,var,boot} "$root"/dev/{mmcblk0p1,mmcblk0p2,sda1} \
         "$root"/mnt/{nand,usb,maps} "$root"/proc "$root"/sbin

# The NAND root file system: no /etc/skip-update, so the boot shows the menu.
head -c 8388608 /dev/zero > "$nand/arvel/arvel"
"$bin/tovrask-picture" image "$here/picture/sample-logo.png" "$nand/arvel/Logo.img"
printf '2.14 (2026-10-02)\n' > "$nand/etc/zup_version"

# The boot partition.
printf 'kernel 2.6.37 build 14\n' > "$root/dev/mmcblk0p1/zImage"
printf '[kernel]\nbootargs=console=ttyO2\n' > "$root/dev/mmcblk0p1/igep.ini"

# The update: a new kernel and application, the marker and the new version.
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
mkdir -p "$tree"/{boot,arvel,etc}
printf 'kernel 2.6.37 build 15\n' > "$tree/boot/zImage"
head -c 4194304 /dev/urandom > "$tree/arvel/arvel"
printf '1' > "$tree/etc/skip-update"
printf '2.15 (2026-12-01)\n' > "$tree/etc/zup_version"
"$bin/zup" create -o "$root/dev/sda1/arvel-2.15.zup" --content-version 215 "$tree"

# What the kernel says of the board.
printf 'console=ttyO2,115200n8 qlx=ArvelII lcdt=1 root=/dev/mtdblock4 rw\n' > "$root/proc/cmdline"
printf 'Processor\t: ARMv7 Processor rev 2 (v7l)\nHardware\t: Gumstix Overo\nRevision\t: 0020\n' \
    > "$root/proc/cpuinfo"

# Service commands: they say what they would do.
for tool in flash_eraseall repartion sh; do
    printf '#!/bin/sh\necho "(simulated) %s $*"\n' "$tool" > "$root/sbin/$tool"
done
printf '#!/bin/sh\nexec /bin/rm "$@"\n' > "$root/sbin/rm"
chmod 755 "$root"/sbin/*
echo "$root"
