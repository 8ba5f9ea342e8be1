# The Debian package of the two programs: `cpack -G DEB` in any build. The programs find their
# data files (the LED font, the demo disc) from their own folder, so the package's prefix /usr
# needs no build of its own.
#
# The package holds the "programs" component only. wlpro_core's static library, headers and CMake
# package are for building other programs; in a desktop package they would pull a development
# layout onto every user's machine, so they stay a component of their own
# (cmake --install BUILD --component wlpro_core).
set(CPACK_PACKAGE_NAME audiosuite)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Audio Suite developers")
# audiosuite.example (a reserved name) stands in until the project has a public address.
set(CPACK_PACKAGE_CONTACT "The Audio Suite developers <maintainers@audiosuite.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "CD player Korvo and sample editor Wavelathe Pro")
set(CPACK_PACKAGE_DESCRIPTION
    "Korvo (korvo32) plays audio CDs and disc images and remembers the titles and play order of
every disc it has seen. Wavelathe Pro (WLPRO) edits, plays and records sound samples in wave,
voice, Sun/NeXT, raw, FLAC, AIFF, Ogg Vorbis, Opus, CAF, Wave64 and RF64 files.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL programs)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://audiosuite.example/)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# What the programs load at run time, which dpkg-shlibdeps cannot see: Qt's platform plugins (the
# windows on X11) and ALSA's pulse device, which gives the player the sound server's volume. The
# SVG icon engine and the multimedia backends are plugins inside libqt6svg6 and
# libqt6multimedia6, which shlibdeps finds because the programs link both.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, libasound2-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland, pulseaudio | pipewire-pulse")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
