#!/bin/sh
# The rig's /init: brings up the devices the program uses (framebuffer, evdev keys, SD card, the
# stick, the NAND), fills the NAND for the flow, runs the program as the device's start-up script
# does, then prints the exit status and what is on the NAND before rebooting or powering off.
# Every line of its own starts with "rig: "; the program's output is copied to the console as is.
/bin/busybox --install -s
export PATH=/sbin:/usr/sbin:/bin:/usr/bin
mount -t proc proc /proc
mount -t sysfs sysfs /sys
mount -t devtmpfs devtmpfs /dev
mkdir -p /tmp /mnt/nand /mnt/usb /mnt/maps /rig/check
mount -t tmpfs tmpfs /tmp

# rig.NAME=VALUE from the kernel command line; a value in double quotes may hold spaces.
param() {
    sed -n "s/.* rig\.$1=\"\([^\"]*\)\".*/\1/p; t; s/.* rig\.$1=\([^ ]*\).*/\1/p" /proc/cmdline
}
flow=$(param flow)
stop=$(param stop)
stop_count=$(param stopcount)
stick=$(param stick)
board=$(param board)

fail() {
    echo "rig: FAILED: $*"
    poweroff -f
}

# Waits for a file to appear: the SD card and the input devices are probed asynchronously.
await() {
    n=0
    while [ ! -e "$1" ]; do
        n=$((n + 1))
        [ $n -le 200 ] || fail "no $1"
        sleep 0.05
    done
}

while read -r module arguments; do
    # shellcheck disable=SC2086
    modprobe "$module" $arguments || fail "modprobe $module"
done < /rig/modules
# The console must not draw over the program's pictures.
for c in /sys/class/vtconsole/vtcon*/bind; do echo 0 > "$c"; done

await /sys/class/input/event0/dev
await /sys/class/block/mmcblk0p3/dev
await /dev/mtdblock4
# The program reads its keys from /dev/event2, the stick is /dev/sda1 (here the card's third
# partition).
IFS=: read -r major minor < /sys/class/input/event0/dev
mknod /dev/event2 c "$major" "$minor"
if [ "$stick" = 1 ]; then
    IFS=: read -r major minor < /sys/class/block/mmcblk0p3/dev
    mknod /dev/sda1 b "$major" "$minor"
fi

# For the record: what the program finds on this kernel.
echo "rig: fb0: $(cat /sys/class/graphics/fb0/name), $(cat /sys/class/graphics/fb0/virtual_size)," \
     "$(cat /sys/class/graphics/fb0/bits_per_pixel) bpp, line length $(cat /sys/class/graphics/fb0/stride)"
echo "rig: input: $(cat /sys/class/input/event0/device/name) (/dev/event2 = $(cat /sys/class/input/event0/dev))"
echo "rig: block: $(cd /sys/class/block && echo *)"
sed -n 's/^\(mtd[0-9]*\): \([0-9a-f]*\) \([0-9a-f]*\) \(.*\)/rig: mtd: \1 size 0x\2 erase 0x\3 \4/p' /proc/mtd
echo "rig: kernel: $(uname -r)"

# The NAND's contents live in the guest's memory: each flow brings its own.
if [ -d "/rig/nand/$flow" ]; then
    mount -t jffs2 /dev/mtdblock4 /rig/check || fail "mount nand"
    cp -a "/rig/nand/$flow/." /rig/check/ || fail "fill nand"
    umount /rig/check
fi
sed "s/^Hardware.*/Hardware\t: $(echo "$board" | tr _ ' ')/" /proc/cpuinfo > /tmp/cpuinfo
mount --bind /tmp/cpuinfo /proc/cpuinfo
echo "rig: start"

# The program's output goes to the console and to a log the start-up logic reads.
: > /tmp/tovrask.log
( /usr/sbin/tovrask; echo $? > /tmp/status ) 2>&1 | tee /tmp/tovrask.log &
# A screen waiting for keys ends one second after the flow's last expected line.
if [ -n "$stop" ]; then
    while [ ! -e /tmp/status ] &&
          [ "$(grep -cF -- "$stop" /tmp/tovrask.log)" -lt "${stop_count:-1}" ]; do sleep 0.05; done
    if [ ! -e /tmp/status ]; then
        sleep 1
        kill "$(pidof tovrask)" 2> /dev/null
    fi
fi
wait
status=$(cat /tmp/status)
echo "rig: status $status"

# What the flow checks of the NAND, mounted as the device would.
if mount -t yaffs2 /dev/mtdblock4 /rig/check; then
    echo "rig: nand mounted ($(grep ' /rig/check ' /proc/mounts | cut -d' ' -f3))"
    (cd /rig/check && find . | sort) | while read -r f; do
        p=/rig/check/${f#./}
        if [ -L "$p" ]; then
            echo "rig: nand: ${f#.} -> $(readlink "$p")"
        elif [ -f "$p" ]; then
            echo "rig: nand: ${f#.} $(wc -c < "$p") $(md5sum < "$p" | cut -d' ' -f1)"
        elif [ "$f" != . ]; then
            echo "rig: nand: ${f#.}/"
        fi
    done
    umount /rig/check
else
    echo "rig: nand does not mount"
fi

# The start-up script's logic.
if [ "$status" = 1 ] && grep -qx 'Rebooting...' /tmp/tovrask.log; then
    echo "rig: reboot"
    sync
    reboot -f
fi
/arvel/arvel
echo "rig: power off"
sync
poweroff -f
