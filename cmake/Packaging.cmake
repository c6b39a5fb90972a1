# SPDX-License-Identifier: GPL-3.0-or-later
# What `cmake --install` puts on a system; the Debian package (debian/)
# installs the same with dh_auto_install.

set(VORTALEX_APP_ID org.vortalex.Utility)

install(TARGETS vortalex-utility RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES packaging/${VORTALEX_APP_ID}.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES packaging/${VORTALEX_APP_ID}.metainfo.xml
    DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(size 16 32 48 64 128 256)
    if(size EQUAL 256)
        set(icon window/resources/Vortalex.png)
    else()
        set(icon window/resources/Vortalex_${size}.png)
    endif()
    install(FILES ${icon} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
        RENAME ${VORTALEX_APP_ID}.png)
endforeach()
# Below the prefix: /usr/lib/udev/rules.d with the prefix /usr.
install(FILES packaging/60-vortalex.rules DESTINATION lib/udev/rules.d)
# The README's troubleshooting section, which the program's hints point to,
# with the screenshots it shows.
install(FILES debian/copyright README.md DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/vortalex-utility)
install(DIRECTORY docs/screenshots DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/vortalex-utility/docs)

# vortalex-mqtt's systemd unit (installed, not enabled) and its example
# configuration. Below the prefix by default: /usr/lib/systemd/system with the
# prefix /usr. Debian 12's debhelper takes units from /lib/systemd/system, so
# debian/rules names that folder.
if(TARGET vortalex-mqtt)
    set(VORTALEX_SYSTEMD_UNIT_DIR lib/systemd/system CACHE STRING
        "Where vortalex-mqtt.service is installed")
    install(FILES packaging/vortalex-mqtt.service DESTINATION ${VORTALEX_SYSTEMD_UNIT_DIR})
    install(FILES packaging/mqtt.conf.example
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/vortalex-utility/examples RENAME mqtt.conf)
endif()
