# The Debian package, made by CPack from what `cmake --install` puts under /usr (scripts/package.sh).

set(KELVARIN_MAINTAINER "The Kelvarin developers <developers@kelvarin.example>"
    CACHE STRING "The package's maintainer, as \"Name <address>\"")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kelvarin)
# CPack would rebuild the version from its numeric components, 1.6; the package says 1.06.
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${KELVARIN_MAINTAINER})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "line-drawn fleets of three teams fighting a battle on their own")
set(CPACK_PACKAGE_DESCRIPTION
    "Kelvarin is a small desktop toy: one window whose black surface shows
line-drawn fleets of three teams fighting a battle on their own. Ships chase
their targets and fire orange shots; shots and the debris of destroyed ships
damage any ship they touch, so one explosion can set off its neighbours. A
click drops a fleet, Enter wears every ship down, and a quiet battle brings
three new fleets by itself.
.
It also runs full screen and as an X11 screensaver, records a battle as an
animated GIF, and replays scripted battles without a display.")

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt loads its Wayland platform plugin at run time, where dpkg-shlibdeps cannot see it.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS qt6-wayland)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
# Directories 0755 in the package whatever the umask of the build.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

include(CPack)
