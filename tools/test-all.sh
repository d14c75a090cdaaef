#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test: x86-64 (with the simulator's window on a
# virtual X server); x86-64 with AddressSanitizer
# and UndefinedBehaviorSanitizer; the armhf cross build with its tests under qemu-arm; the static
# armhf tovrask under qemu-arm and the Debian packages (amd64, armhf); the static armhf tovrask on a
# real ARM Linux kernel under qemu-system-arm (the rig); the key thread against the main loop under
# ThreadSanitizer; and a short run of every fuzz target. Build folders: build/test-*, build/rig.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh all

jobs=$(nproc)
# build NAME "CMAKE OPTIONS" [TARGET...]
build() {
    local name=$1 options=$2
    shift 2
    echo "=== $name: build"
    # shellcheck disable=SC2086
    cmake -S . -B "build/test-$name" -DCMAKE_BUILD_TYPE=RelWithDebInfo $options > "build/cmake-$name.log" ||
        { cat "build/cmake-$name.log"; exit 1; }
    if [ $# -gt 0 ]; then
        for target in "$@"; do cmake --build "build/test-$name" -j"$jobs" --target "$target"; done
    else
        cmake --build "build/test-$name" -j"$jobs"
    fi
}
# check NAME [CTEST OPTIONS...]
check() {
    local name=$1
    shift
    echo "=== $name: test"
    (cd "build/test-$name" && ctest --output-on-failure -j"$jobs" --timeout 600 "$@")
}

# check_sanitized NAME [CTEST OPTIONS...]: sanitizer reports are written to files, so that a report
# from any process (a simulator run whose status a test does not look at, say) fails the run.
check_sanitized() {
    local name=$1
    shift
    local reports="$PWD/build/sanitizer-reports-$name"
    rm -rf "$reports" && mkdir -p "$reports"
    local status=0
    ASAN_OPTIONS="halt_on_error=1:log_path=$reports/asan" \
    UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1:log_path=$reports/ubsan" \
    TSAN_OPTIONS="halt_on_error=1:report_thread_leaks=0:log_path=$reports/tsan" \
        check "$name" "$@" || status=$?
    if [ -n "$(ls -A "$reports")" ]; then
        echo "=== $name: sanitizer reports"
        cat "$reports"/*
        exit 1
    fi
    return $status
}

mkdir -p build
build x86 ""
check x86
# The window's tests run in the x86 build (on a virtual X server of their own): missing SDL2 must
# not drop them unseen.
(cd build/test-x86 && ctest -N -R '^SimulatorWindow$' | grep -q 'Total Tests: 1') ||
    { echo "the simulator's window was not built in build/test-x86 (is libsdl2-dev installed?)"; exit 1; }
build asan "-DTOVRASK_SANITIZE=ON"
check_sanitized asan
build armhf "-DCMAKE_TOOLCHAIN_FILE=cmake/armhf-toolchain.cmake"
check armhf
# The device's program linked statically, as it ships, run under qemu-arm.
build armhf-static "-DCMAKE_TOOLCHAIN_FILE=cmake/armhf-toolchain.cmake -DTOVRASK_STATIC=ON" tovrask zup sim_tests
check armhf-static -R DeviceProgram
echo "=== packages"
for name in x86 armhf-static; do
    (cd "build/test-$name" && cpack -G DEB > /dev/null)
    deb=$(ls "build/test-$name"/tovrask_*.deb)
    contents=$(dpkg-deb -c "$deb")
    for file in ./usr/sbin/tovrask ./usr/bin/zup ./usr/share/man/man8/tovrask.8 ./usr/share/man/man1/zup.1; do
        grep -q " $file\$" <<< "$contents" || { echo "no $file in $deb"; exit 1; }
    done
    echo "$deb: $(dpkg-deb -f "$deb" Architecture), $(grep -c '^-' <<< "$contents") files"
done
echo "=== rig"
bash tools/test-rig.sh build/test-armhf-static/bin/tovrask build/test-x86/bin
build tsan "-DTOVRASK_TSAN=ON -DTOVRASK_HOST_TOOLS=OFF" app_tests platform_tests tovrask-sim boot_flow_tests
# The key thread and the frame writer are never joined (exit ends them with the process), so
# thread leaks are not reported. Whole updates run in the simulator, mounts and all; the flows
# that type access codes are left out (too slow under ThreadSanitizer for the 15-key ring).
check_sanitized tsan -R 'KeyThread|KeyRing|SimulatorKeys|MainLoop|FrameRecorder|HostMounts|BootFlowTest\.(AnUpdate|ACorrupt|AnExtraction|ANewPublicKey)'
if [ -f tools/fuzz-smoke.sh ]; then
    echo "=== fuzz"
    bash tools/fuzz-smoke.sh
fi
echo "=== all builds passed"
