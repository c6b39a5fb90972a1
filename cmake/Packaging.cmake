# SPDX-License-Identifier: GPL-3.0-or-later
# What `cmake --install` puts on a system and the Debian package that
# `cpack -G DEB` makes of it.

set(VORTALEX_APP_ID org.vortalex.Utility)

install(TARGETS vortalex-utility RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES packaging/${VORTALEX_APP_ID}.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES packaging/${VORTALEX_APP_ID}.metainfo.xml
    DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(size 16 32 48 64 128 256)
    if(size EQUAL 256)
        set(icon resources/Vortalex.png)
    else()
        set(icon resources/Vortalex_${size}.png)
    endif()
    install(FILES ${icon} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
        RENAME ${VORTALEX_APP_ID}.png)
endforeach()
# Below the prefix: /usr/lib/udev/rules.d with the prefix /usr.
install(FILES packaging/60-vortalex.rules DESTINATION lib/udev/rules.d)
# The README's troubleshooting section, which the program's hints point to.
install(FILES packaging/copyright README.md DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/vortalex-utility)

set(CPACK_PACKAGE_NAME vortalex-utility)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR VORTALEX)
set(CPACK_PACKAGE_CONTACT "VORTALEX Utility developers <utility@vortalex.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "configure the VORTALEX HDMI box over USB")
set(CPACK_PACKAGE_DESCRIPTION "A desktop program that configures the VORTALEX HDMI \
signal-management box over USB: inputs, EDID, CEC, HDR and AVI InfoFrames and \
signal status. It includes the udev rule that gives the user at the seat access \
to the box.")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_CURRENT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://vortalex.org/)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt finds its Wayland platform plugin there; without it Qt falls back to X11.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS qt6-wayland)
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
    ${CMAKE_CURRENT_SOURCE_DIR}/packaging/postinst ${CMAKE_CURRENT_SOURCE_DIR}/packaging/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
