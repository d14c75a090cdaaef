# Cross build for the device: 32-bit ARM, hard float (Debian's crossbuild-essential-armhf).
# Libraries come from Debian's multiarch packages (libpng-dev:armhf, liblzo2-dev:armhf, ...).
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR arm)
set(CMAKE_C_COMPILER arm-linux-gnueabihf-gcc)
set(CMAKE_CXX_COMPILER arm-linux-gnueabihf-g++)
set(CMAKE_LIBRARY_ARCHITECTURE arm-linux-gnueabihf)
set(CMAKE_FIND_ROOT_PATH /usr/arm-linux-gnueabihf)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY BOTH)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE BOTH)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)
# No binfmt handler on the build machines: tests (and programs they start) run through qemu. They
# run against the multiarch armhf run-time (libc6:armhf, libstdc++6:armhf): its dynamic loader
# matches its C library, which the cross compiler's own copy under /usr/arm-linux-gnueabihf does
# not once Debian updates one of them, and threads then crash at creation.
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-arm -L /)
