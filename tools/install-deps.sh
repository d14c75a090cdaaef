#!/usr/bin/env bash
# Installs what building and testing Tovrask needs on Debian 12, as root; does nothing for
# packages already there. Usage: tools/install-deps.sh [host|rig|all]
#   host  the workstation build, the simulator and its window, generators and benchmarks
#   rig   the real-kernel rig's own tools (tools/test-rig.sh; its guest's packages it fetches itself)
#   all   all of these, the armhf cross build (multiarch libraries, qemu-user) and the fuzzers
set -euo pipefail
scope=${1:-all}

host_packages=(build-essential cmake pkg-config libpng-dev libfreetype-dev fonts-dejavu-core
               liblzo2-dev libgtest-dev libgmock-dev googletest libbenchmark-dev libssl-dev
               libsdl2-dev libx11-dev xvfb xauth xdotool imagemagick)
all_packages=(clang libfuzzer-14-dev libclang-rt-14-dev crossbuild-essential-armhf qemu-user
              libc6:armhf libstdc++6:armhf libpng-dev:armhf liblzo2-dev:armhf libgtest-dev:armhf
              libssl-dev:armhf)
rig_packages=(qemu-system-arm device-tree-compiler mtools dosfstools fdisk cpio kmod make python3
              imagemagick crossbuild-essential-armhf)

case $scope in
    host) wanted=("${host_packages[@]}") ;;
    rig) wanted=("${rig_packages[@]}") ;;
    all) wanted=("${host_packages[@]}" "${all_packages[@]}" "${rig_packages[@]}") ;;
    *) echo "install-deps: unknown scope $scope" >&2; exit 2 ;;
esac
# The rig fetches the guest's armhf packages (kernel, busybox, ...) from the archive.
if [ "$scope" != host ]; then
    if ! dpkg --print-foreign-architectures | grep -qx armhf; then
        dpkg --add-architecture armhf
        need_update=1
    fi
fi

missing=()
for p in "${wanted[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ] || [ -n "${need_update:-}" ]; then
    if [ "$(id -u)" -ne 0 ]; then
        echo "install-deps: run as root to install: ${missing[*]}" >&2
        exit 1
    fi
    echo "install-deps: installing ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -q
    apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
