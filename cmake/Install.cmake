# Installation into the system and the Debian package.
#
#   cmake --install BUILD [--prefix /usr]      program, CLI, desktop entry,
#                                              MIME type, icons, help text,
#                                              manual pages, bash completion,
#                                              AppStream metainfo
#   cd BUILD && cpack -G DEB                   kantel_<version>-<release>_<arch>.deb
#
# scripts/check-install builds the package as Debian would, with the
# hardening flags of dpkg-buildflags, and runs lintian on it.
#
# The desktop entry, the MIME type and the icons are what a file manager needs
# to show banks with their own icon and open them in the editor; the caches
# that index them are refreshed by the triggers of desktop-file-utils,
# shared-mime-info and the icon cache when the package is installed.

include(GNUInstallDirs)

set(KANTEL_LINUX_DIR ${PROJECT_SOURCE_DIR}/dist/linux)
set(KANTEL_DEBIAN_DIR ${PROJECT_SOURCE_DIR}/dist/debian)
# Files made from the sources for installing: pages and changelogs compressed
# as Debian wants them, the metainfo with its release filled in.
set(KANTEL_DIST_OUT ${PROJECT_BINARY_DIR}/dist)

# The Debian revision of this version; the changelog's first entry must be
# for it, and its date is the release's date in the metainfo.
set(KANTEL_DEBIAN_RELEASE 1)
file(STRINGS ${KANTEL_DEBIAN_DIR}/changelog KANTEL_CHANGELOG_TOP LIMIT_COUNT 1)
if(NOT KANTEL_CHANGELOG_TOP MATCHES "^kantel \\(${KANTEL_VERSION}-${KANTEL_DEBIAN_RELEASE}\\) ")
    message(FATAL_ERROR "dist/debian/changelog starts with \"${KANTEL_CHANGELOG_TOP}\"; "
        "add an entry for kantel (${KANTEL_VERSION}-${KANTEL_DEBIAN_RELEASE}) at its top")
endif()
file(STRINGS ${KANTEL_DEBIAN_DIR}/changelog KANTEL_CHANGELOG_TRAILER REGEX "^ -- " LIMIT_COUNT 1)
if(NOT KANTEL_CHANGELOG_TRAILER MATCHES
        ", ([0-9][0-9]) (Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec) ([0-9][0-9][0-9][0-9]) ")
    message(FATAL_ERROR "the first entry of dist/debian/changelog has no date line")
endif()
set(KANTEL_RELEASE_DAY ${CMAKE_MATCH_1})
set(KANTEL_RELEASE_YEAR ${CMAKE_MATCH_3})
set(KANTEL_MONTHS Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
list(FIND KANTEL_MONTHS ${CMAKE_MATCH_2} KANTEL_RELEASE_MONTH)
math(EXPR KANTEL_RELEASE_MONTH "${KANTEL_RELEASE_MONTH} + 1" OUTPUT_FORMAT DECIMAL)
if(KANTEL_RELEASE_MONTH LESS 10)
    set(KANTEL_RELEASE_MONTH 0${KANTEL_RELEASE_MONTH})
endif()
set(KANTEL_RELEASE_DATE ${KANTEL_RELEASE_YEAR}-${KANTEL_RELEASE_MONTH}-${KANTEL_RELEASE_DAY})

configure_file(${PROJECT_SOURCE_DIR}/doc/man/kantel.1.in ${KANTEL_DIST_OUT}/kantel.1 @ONLY)
configure_file(${PROJECT_SOURCE_DIR}/doc/man/kantel-cli.1.in ${KANTEL_DIST_OUT}/kantel-cli.1 @ONLY)
configure_file(${KANTEL_DEBIAN_DIR}/changelog ${KANTEL_DIST_OUT}/changelog.Debian COPYONLY)
configure_file(${KANTEL_LINUX_DIR}/org.perlume.Kantel.metainfo.xml.in
    ${KANTEL_DIST_OUT}/org.perlume.Kantel.metainfo.xml @ONLY)
# -n leaves the name and time out of the gzip header, so that the same
# sources give the same package.
find_program(KANTEL_GZIP gzip REQUIRED)
set(KANTEL_COMPRESSED)
foreach(file kantel.1 kantel-cli.1 changelog.Debian)
    add_custom_command(OUTPUT ${KANTEL_DIST_OUT}/${file}.gz
        COMMAND ${KANTEL_GZIP} -9nkf ${file}
        DEPENDS ${KANTEL_DIST_OUT}/${file}
        WORKING_DIRECTORY ${KANTEL_DIST_OUT}
        VERBATIM)
    list(APPEND KANTEL_COMPRESSED ${KANTEL_DIST_OUT}/${file}.gz)
endforeach()
add_custom_target(kantel_dist_files ALL DEPENDS ${KANTEL_COMPRESSED})

install(TARGETS kantel kantel-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The playback module, private to the editor, which loads it at its first
# sound from this folder relative to its own.
install(TARGETS kantel_sound LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}/kantel)

install(FILES ${KANTEL_LINUX_DIR}/org.perlume.Kantel.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${KANTEL_LINUX_DIR}/kantel-bnm.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)

install(FILES ${KANTEL_DIST_OUT}/kantel.1.gz ${KANTEL_DIST_OUT}/kantel-cli.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
# bash-completion loads a command's completion on first use from here (and
# from the same folder below every XDG_DATA_DIRS entry, for other prefixes).
install(FILES ${KANTEL_LINUX_DIR}/kantel-cli.bash
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME kantel-cli)
# Software centres list the program from its metainfo, named after the
# desktop entry's id.
install(FILES ${KANTEL_DIST_OUT}/org.perlume.Kantel.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${KANTEL_DEBIAN_DIR}/copyright ${KANTEL_DIST_OUT}/changelog.Debian.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/kantel)
install(FILES ${KANTEL_DEBIAN_DIR}/kantel.lintian-overrides
        DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME kantel)

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
set(CPACK_PACKAGE_VERSION ${KANTEL_VERSION})
set(CPACK_DEBIAN_PACKAGE_RELEASE ${KANTEL_DEBIAN_RELEASE})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "sound bank editor for the games Korvex and Lunaris")
# CPack puts the summary above this and indents each line by one blank; the
# lines are kept under 80 columns here, an empty one separates paragraphs.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Kantel opens the sound banks (.bnm files) of the racing games Korvex and
Lunaris, shows their sound resources and events in list windows, plays the
samples, edits one record at a time in property dialogs, imports any sound
file (wave, AIFF, FLAC, Ogg Vorbis, Opus, MP3) as a sample, exports the
samples as wave files, and saves the bank so that the game can load it.

kantel-cli does the same jobs without a display, for scripts, and checks a
bank for what the game would trip over; its JSON output suits jq.")
set(CPACK_PACKAGE_CONTACT "The Kantel developers <kantel@perlume.com>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
# strip leaves the compilers' .comment notes, which Debian's own packaging
# takes out; so does this, in the package's staging folder.
set(CPACK_PRE_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/RemoveCommentSections.cmake)
set(CPACK_KANTEL_OBJCOPY ${CMAKE_OBJCOPY})
set(CPACK_KANTEL_BINARIES ${CMAKE_INSTALL_BINDIR}/kantel ${CMAKE_INSTALL_BINDIR}/kantel-cli
    ${CMAKE_INSTALL_LIBDIR}/kantel/libkantel-sound.so)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${KANTEL_HOMEPAGE_URL}")
# The Qt libraries come from what the binaries link (dpkg-shlibdeps); the
# platform plugins that let the editor open a window are loaded at run time,
# so no linker can find them; so are the SVG plugins that draw the toolbar and
# the icons.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The sound libraries are opened with dlopen when first needed (see
# src/format/CSharedLibrary.h), so dpkg-shlibdeps cannot see them either.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, libqt6svg6, libsndfile1, libsoxr0, libebur128-1")
# Help and Home Page hand their file or address to xdg-open; the MIME type,
# the desktop entry and the icons are indexed by these packages' triggers.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
    "xdg-utils, shared-mime-info, desktop-file-utils, hicolor-icon-theme")

set(CPACK_GENERATOR DEB)
set(CPACK_SOURCE_IGNORE_FILES "/build[^/]*/;/\\\\.git/")
include(CPack)
