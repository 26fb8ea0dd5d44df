# Installation into the system and the Debian package.
#
#   cmake --install BUILD [--prefix /usr]      program, CLI, desktop entry,
#                                              MIME type, icons, help text
#   cd BUILD && cpack -G DEB                   kantel_<version>_<arch>.deb
#
# The desktop entry, the MIME type and the icons are what a file manager needs
# to show banks with their own icon and open them in the editor; the caches
# that index them are refreshed by the triggers of desktop-file-utils,
# shared-mime-info and the icon cache when the package is installed.

include(GNUInstallDirs)

set(KANTEL_LINUX_DIR ${PROJECT_SOURCE_DIR}/dist/linux)

install(TARGETS kantel kantel-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

install(FILES ${KANTEL_LINUX_DIR}/org.perlume.Kantel.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${KANTEL_LINUX_DIR}/kantel-bnm.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)

# The program looks for its help text here (next to the binary's share/);
# a second copy under doc/ is where people look for a package's documents,
# and may be left out of minimal systems, so the program does not rely on it.
install(FILES ${PROJECT_SOURCE_DIR}/src/res/Kantel.txt
        DESTINATION ${CMAKE_INSTALL_DATADIR}/kantel)
install(FILES ${PROJECT_SOURCE_DIR}/src/res/Kantel.txt
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/kantel)

# The program draws its own window and document icons from the scalable
# drawings; these are the same drawings at the theme's sizes, for desktops
# that want a bitmap.
set(KANTEL_HICOLOR ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
foreach(size 16 32 48 64 128 256)
    install(FILES ${KANTEL_LINUX_DIR}/icons/${size}/kantel.png
            DESTINATION ${KANTEL_HICOLOR}/${size}x${size}/apps)
    install(FILES ${KANTEL_LINUX_DIR}/icons/${size}/application-x-kantel-bnm.png
            DESTINATION ${KANTEL_HICOLOR}/${size}x${size}/mimetypes)
endforeach()
install(FILES ${KANTEL_LINUX_DIR}/icons/kantel.svg DESTINATION ${KANTEL_HICOLOR}/scalable/apps)
install(FILES ${KANTEL_LINUX_DIR}/icons/application-x-kantel-bnm.svg
        DESTINATION ${KANTEL_HICOLOR}/scalable/mimetypes)

# --- Debian package ---------------------------------------------------------
set(CPACK_PACKAGE_NAME kantel)
set(CPACK_PACKAGE_VENDOR "Perlume")
# The version the About box shows, so that package and program agree.
set(CPACK_PACKAGE_VERSION ${KANTEL_FILE_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "sound bank editor for the games Korvex and Lunaris")
set(CPACK_PACKAGE_DESCRIPTION
    "Kantel opens the sound banks (.bnm) of the racing games Korvex and Lunaris, \
shows their sound resources and events, plays and edits the samples, and saves \
the bank for the game. kantel-cli does the same jobs without a window.")
set(CPACK_PACKAGE_CONTACT "The Kantel developers <kantel@perlume.com>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${KANTEL_HOMEPAGE_URL}")
# The Qt libraries come from what the binaries link (dpkg-shlibdeps); the
# platform plugins that let the editor open a window are loaded at run time,
# so no linker can find them; so are the SVG plugins that draw the toolbar and
# the icons.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, libqt6svg6")
# Help and Home Page hand their file or address to xdg-open; the MIME type,
# the desktop entry and the icons are indexed by these packages' triggers.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
    "xdg-utils, shared-mime-info, desktop-file-utils, hicolor-icon-theme")

set(CPACK_GENERATOR DEB)
set(CPACK_SOURCE_IGNORE_FILES "/build[^/]*/;/\\\\.git/")
include(CPack)
