#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test three ways: x86-64; x86-64 with
# AddressSanitizer and UndefinedBehaviorSanitizer; and the armhf cross build with its tests run
# under qemu-arm. Build folders: build/test-x86, build/test-asan, build/test-armhf.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh all

jobs=$(nproc)
run() {
    local name=$1
    shift
    echo "=== $name"
    cmake -S . -B "build/test-$name" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" > "build/cmake-$name.log" ||
        { cat "build/cmake-$name.log"; exit 1; }
    cmake --build "build/test-$name" -j"$jobs"
    (cd "build/test-$name" && ctest --output-on-failure -j"$jobs" --timeout 600)
}

mkdir -p build
run x86
run asan -DTOVRASK_SANITIZE=ON
run armhf -DCMAKE_TOOLCHAIN_FILE=cmake/armhf-toolchain.cmake
echo "=== all builds passed"
