# A Debian package of the device's programs: tovrask (the boot manager, /usr/sbin) and zup
# (/usr/bin), with their manual pages. `cpack -G DEB` in a build folder; the cross build gives the
# armhf package for the device's root file system.
install(TARGETS tovrask RUNTIME DESTINATION sbin)
install(TARGETS zup RUNTIME DESTINATION bin)
install(FILES ${CMAKE_SOURCE_DIR}/docs/man/tovrask.8 DESTINATION share/man/man8)
install(FILES ${CMAKE_SOURCE_DIR}/docs/man/zup.1 DESTINATION share/man/man1)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tovrask)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Boot manager and firmware updater of the Arvel display")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Tovrask developers")
set(CPACK_DEBIAN_PACKAGE_SECTION admin)
if(CMAKE_SYSTEM_PROCESSOR MATCHES "^arm")
    set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE armhf)
elseif(CMAKE_SYSTEM_PROCESSOR MATCHES "x86_64|AMD64")
    set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE amd64)
endif()
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
if(TOVRASK_STATIC)
    # zup's (libcrypto is linked in statically too); tovrask needs nothing
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "libc6, libstdc++6")
else()
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "libc6, libstdc++6, liblzo2-2, libssl3")
endif()
include(CPack)
