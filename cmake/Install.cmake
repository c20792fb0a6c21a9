# What `cmake --install` puts where, and the Debian package `cpack -G DEB` makes of it: the three
# programs, the desktop entry, the icon in the hicolor theme, the AppStream metainfo and the
# manual pages. The data files live in packaging/.
include(GNUInstallDirs)

set(ORVAN_APP_ID org.orvan.OrvanServo)
# The date of this version, for the metainfo's release entry.
set(ORVAN_RELEASE_DATE 2026-12-07)
set(ORVAN_PACKAGING_DIR ${CMAKE_SOURCE_DIR}/packaging)
set(ORVAN_PACKAGING_OUT ${CMAKE_BINARY_DIR}/packaging)

install(TARGETS orvan-servo orvan-cli orvan-drive-sim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

install(FILES ${ORVAN_PACKAGING_DIR}/${ORVAN_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)

configure_file(${ORVAN_PACKAGING_DIR}/${ORVAN_APP_ID}.metainfo.xml
               ${ORVAN_PACKAGING_OUT}/${ORVAN_APP_ID}.metainfo.xml @ONLY)
install(FILES ${ORVAN_PACKAGING_OUT}/${ORVAN_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# The PNGs are rendered from the SVG once and kept (packaging/icons/render.sh).
foreach(size 16 32 48 64 128 256)
    install(FILES ${ORVAN_PACKAGING_DIR}/icons/${size}x${size}/orvan-servo.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
install(FILES ${ORVAN_PACKAGING_DIR}/icons/orvan-servo.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# Manual pages carry the version and are installed compressed, as Debian keeps them.
set(ORVAN_MAN_PAGES)
foreach(program orvan-servo orvan-cli orvan-drive-sim)
    configure_file(${ORVAN_PACKAGING_DIR}/man/${program}.1 ${ORVAN_PACKAGING_OUT}/${program}.1
                   @ONLY)
    add_custom_command(
        OUTPUT ${ORVAN_PACKAGING_OUT}/${program}.1.gz
        COMMAND gzip -9 -n -k -f ${program}.1
        DEPENDS ${ORVAN_PACKAGING_OUT}/${program}.1
        WORKING_DIRECTORY ${ORVAN_PACKAGING_OUT}
        VERBATIM)
    list(APPEND ORVAN_MAN_PAGES ${ORVAN_PACKAGING_OUT}/${program}.1.gz)
endforeach()
add_custom_target(orvan_man_pages ALL DEPENDS ${ORVAN_MAN_PAGES})
install(FILES ${ORVAN_MAN_PAGES} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# The documentation folder as Debian wants it: the copyright file as it is, the changelog
# compressed (a native package's "changelog.gz", its first entry this version).
set(ORVAN_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/orvan-servo)
install(FILES ${CMAKE_SOURCE_DIR}/README.md ${ORVAN_PACKAGING_DIR}/copyright
        DESTINATION ${ORVAN_DOC_DIR})
execute_process(COMMAND date -u -R -d "${ORVAN_RELEASE_DATE} 12:00"
                OUTPUT_VARIABLE ORVAN_CHANGELOG_DATE OUTPUT_STRIP_TRAILING_WHITESPACE)
configure_file(${ORVAN_PACKAGING_DIR}/changelog ${ORVAN_PACKAGING_OUT}/changelog @ONLY)
add_custom_command(
    OUTPUT ${ORVAN_PACKAGING_OUT}/changelog.gz
    COMMAND gzip -9 -n -k -f changelog
    DEPENDS ${ORVAN_PACKAGING_OUT}/changelog
    WORKING_DIRECTORY ${ORVAN_PACKAGING_OUT}
    VERBATIM)
add_custom_target(orvan_changelog ALL DEPENDS ${ORVAN_PACKAGING_OUT}/changelog.gz)
install(FILES ${ORVAN_PACKAGING_OUT}/changelog.gz DESTINATION ${ORVAN_DOC_DIR})

# The package. Its library dependencies come from the programs themselves (dpkg-shlibdeps over
# the stripped binaries); the data the programs need at run time but do not link against is
# named here: the CJK font the windows draw Chinese with, the report's metric-compatible fonts
# and Qt's own Chinese translations.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME orvan-servo)
set(CPACK_PACKAGE_VENDOR Orvan)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "engineering tool for an AC servo drive on a serial cable")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Orvan Servo maintainers <servo@orvan.org>")
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Orvan Servo reads, edits and writes the parameters of one AC servo drive over
RS-232 or RS-485 (Modbus ASCII/RTU), keeps parameter sets as .nvp files and
watches the drive. orvan-cli runs the same operations from a shell;
orvan-drive-sim is a simulated drive on a pseudo-terminal.")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-wqy-microhei, fonts-liberation2, qt6-translations-l10n")
# Native Wayland windows; without it Qt runs through XWayland.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland")
include(CPack)
