#!/usr/bin/env bash
# Installs what building and testing Tovrask needs on Debian 12, as root; does nothing for
# packages already there. Usage: tools/install-deps.sh [host|all]
#   host  the workstation build, the simulator and its window, generators and benchmarks
#   all   also the armhf cross build (multiarch libraries, qemu-user) and the fuzzers
set -euo pipefail
scope=${1:-all}

host_packages=(build-essential cmake pkg-config libpng-dev libfreetype-dev fonts-dejavu-core
               liblzo2-dev libgtest-dev libgmock-dev googletest libbenchmark-dev libssl-dev
               libsdl2-dev libx11-dev xvfb xauth xdotool imagemagick)
all_packages=(clang libfuzzer-14-dev libclang-rt-14-dev crossbuild-essential-armhf qemu-user
              libc6:armhf libstdc++6:armhf libpng-dev:armhf liblzo2-dev:armhf libgtest-dev:armhf)

wanted=("${host_packages[@]}")
if [ "$scope" = all ]; then
    wanted+=("${all_packages[@]}")
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
