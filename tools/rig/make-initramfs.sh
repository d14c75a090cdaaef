#!/usr/bin/env bash
# Packs the guest's initramfs: busybox, the kernel modules the rig loads (with their dependencies
# and the yaffs2 stand-in), flash_erase with the C library it needs, the program, the rig's /init,
# a stub main application, and the NAND trees of the flows.
# Usage: tools/rig/make-initramfs.sh CACHE_ROOT RELEASE STANDIN.ko TOVRASK NAND_TREES OUT.cpio.gz
set -euo pipefail
src=$1
release=$2
standin=$3
program=$4
trees=$5
out=$6
here=$(cd "$(dirname "$0")" && pwd)

dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
mkdir -p "$dir"/{bin,sbin,usr/sbin,usr/bin,lib,proc,sys,dev,tmp,mnt,arvel,rig}

cp "$src/bin/busybox" "$dir/bin/busybox"
ln -s busybox "$dir/bin/sh"

# The modules /init loads, in order, with their parameters: the keyboard and its evdev node, the
# SD card, vfat with the code page and character set it mounts with by default, the MTD block
# devices, jffs2, and a 128 MiB NAND (2 KiB pages) cut into four 1 MiB partitions and the rest.
cat > "$dir/rig/modules" << 'LIST'
ambakmi
evdev
armmmci
vfat
nls_cp437
nls_ascii
mtdblock
jffs2
nandsim first_id_byte=0x20 second_id_byte=0xf1 third_id_byte=0x00 fourth_id_byte=0x15 parts=8,8,8,8
LIST
# Those modules, each with what it depends on, then the kernel's own index of them (aliases
# included, so that a "yaffs2" mount loads the stand-in).
modules=$dir/lib/modules/$release
mkdir -p "$modules/extra"
cut -d' ' -f1 "$dir/rig/modules" | while read -r m; do
    modprobe -d "$src" -S "$release" --show-depends "$m" | awk '$1 == "insmod" {print $2}'
done | sort -u | while read -r ko; do
    rel=${ko#"$src/lib/modules/$release/"}
    mkdir -p "$modules/$(dirname "$rel")"
    cp "$ko" "$modules/$rel"
done
cp "$standin" "$modules/extra/"
cp "$src/lib/modules/$release"/modules.{order,builtin,builtin.modinfo} "$modules/"
depmod -b "$dir" "$release"

# flash_eraseall is a shell wrapper around flash_erase, which is dynamically linked.
cp "$src/usr/sbin/flash_erase" "$src/usr/sbin/flash_eraseall" "$dir/usr/sbin/"
cp -a "$src/lib/ld-linux-armhf.so.3" "$dir/lib/"
mkdir -p "$dir/lib/arm-linux-gnueabihf"
cp -L "$src/lib/arm-linux-gnueabihf/libc.so.6" "$src/lib/arm-linux-gnueabihf/ld-linux-armhf.so.3" \
    "$dir/lib/arm-linux-gnueabihf/"

cp "$program" "$dir/usr/sbin/tovrask"
install -m 755 "$here/init.sh" "$dir/init"
printf '#!/bin/sh\necho "rig: main application started"\n' > "$dir/arvel/arvel"
chmod 755 "$dir/arvel/arvel"
cp -a "$trees" "$dir/rig/nand"

(cd "$dir" && find . | sort | cpio -o -H newc -R 0:0 --quiet) | gzip -1 > "$out"
