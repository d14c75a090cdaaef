#!/usr/bin/env bash
# Makes the guest's device tree from the kernel package's vexpress-v2p-ca9.dtb: the daughterboard's
# PL111 (/clcd@10020000) drives an 800x480 DPI panel, and the motherboard's CLCD is disabled. The
# stock tree feeds that CLCD to a DVI bridge without timings, which gives no /dev/fb0. The bandwidth
# limit makes the fbdev driver choose 16 bpp (RGB565), as on the device. Nodes are found by path, so
# a newer kernel's tree is patched the same way. Usage: tools/rig/make-dtb.sh IN.dtb OUT.dtb
set -euo pipefail
in=$1
out=$2
cp "$in" "$out"
clcd=/clcd@10020000
panel=/rig-panel

# A phandle the tree does not use yet.
all_phandles() {
    local node=$1 child
    fdtget -t u "$out" "$node" phandle 2> /dev/null || true
    for child in $(fdtget -l "$out" "$node"); do all_phandles "${node%/}/$child"; done
}
new=$(( $(all_phandles / | sort -n | tail -n 1) + 1 ))

# Every other PL111 (the motherboard's) is switched off.
disable_other_clcds() {
    local node=$1 child
    for child in $(fdtget -l "$out" "$node"); do
        local path=${node%/}/$child
        if [[ $child == clcd@* && $path != "$clcd" ]]; then
            fdtput -t s "$out" "$path" status disabled
        fi
        disable_other_clcds "$path"
    done
}
disable_other_clcds /

fdtput -c "$out" "$panel" "$panel/panel-timing" "$panel/port" "$panel/port/endpoint"
fdtput -t s "$out" "$panel" compatible panel-dpi
fdtput -t i "$out" "$panel/panel-timing" clock-frequency 33000000
for pair in hactive:800 vactive:480 hfront-porch:40 hback-porch:88 hsync-len:128 \
            vfront-porch:10 vback-porch:33 vsync-len:2; do
    fdtput -t i "$out" "$panel/panel-timing" "${pair%:*}" "${pair#*:}"
done
fdtput -t i "$out" "$panel/port/endpoint" phandle "$new"
clcd_endpoint=$(fdtget -t i "$out" "$clcd/port/endpoint" phandle)
fdtput -t i "$out" "$panel/port/endpoint" remote-endpoint "$clcd_endpoint"
fdtput -t i "$out" "$clcd/port/endpoint" remote-endpoint "$new"
fdtput -t i "$out" "$clcd" max-memory-bandwidth 100000000
fdtput -t s "$out" "$clcd" status okay
