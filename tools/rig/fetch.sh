#!/usr/bin/env bash
# Fetches from Debian's archive what the rig's guest is made of and unpacks it under CACHE: the
# current armmp kernel with its modules, the headers and kbuild to build the rig's own module
# against it, busybox, mtd-utils and the armhf C library (flash_erase is dynamically linked).
# The kernel's version is resolved here, never written down. Prints the kernel release.
# Usage: tools/rig/fetch.sh CACHE
set -euo pipefail
mkdir -p "$1"
cache=$(cd "$1" && pwd)

image=$(apt-cache depends linux-image-armmp:armhf | awk '/Depends: linux-image-/{print $2; exit}')
image=${image%:armhf}
abi=${image#linux-image-}
abi=${abi%-armmp}
[ -n "$abi" ] || { echo "fetch: no armmp kernel in the package lists" >&2; exit 1; }
kbuild=linux-kbuild-${abi%%.0-*}
wanted=("$image:armhf" "linux-headers-$abi-armmp:armhf" "linux-headers-$abi-common" "$kbuild"
        busybox-static:armhf mtd-utils:armhf libc6:armhf)

stamp=$cache/unpacked-$abi
if [ ! -f "$stamp" ]; then
    # A new kernel in the archive: everything is fetched afresh, so no older package lingers.
    rm -rf "$cache/debs"
    mkdir -p "$cache/debs"
    cd "$cache/debs"
    # (apt's note that root downloads outside its sandbox is not worth showing)
    apt-get download -qq "${wanted[@]}" 2>&1 | grep -v "unsandboxed" >&2 || true
    for p in "${wanted[@]}"; do
        ls "${p%:*}"_*.deb > /dev/null 2>&1 || { echo "fetch: could not download $p" >&2; exit 1; }
    done
    rm -rf "$cache/root"
    mkdir -p "$cache/root"
    for p in "${wanted[@]}"; do
        for deb in "${p%:*}"_*.deb; do dpkg-deb -x "$deb" "$cache/root"; done
    done
    # The headers name their common half by its installed path; here it is unpacked in the cache.
    sed -i "s|^include /usr/src/|include $cache/root/usr/src/|" "$cache/root/usr/src/linux-headers-$abi-armmp/Makefile"
    # The index the package's postinst would make, to pick modules with their dependencies.
    depmod -b "$cache/root" "$abi-armmp"
    rm -f "$cache"/unpacked-*
    touch "$stamp"
fi
ls "$cache/root/lib/modules"
