# `cpack -G DEB` (or just `cpack`) in the build folder makes korvane_<version>-1_<arch>.deb:
# the game in /usr/games, its desktop entry, icons, software-centre description and manual
# page, with the dependencies read from the binary's shared libraries (dpkg-shlibdeps).
# Where the hall was built, it also makes korvane-hall_<version>-1_<arch>.deb: the server, its
# systemd unit, its system user and database folder, and the browser build when
# KORVANE_HALL_PACKAGE_WEB names one. tools/check_deb.sh makes both and checks them.
set(CPACK_PACKAGE_NAME korvane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Korvane developers")
set(CPACK_PACKAGE_CONTACT "Korvane developers <maintainers@korvane.example.org>")
# Each package's description, its first line the summary (CPack would put one summary
# before every package's description).
set(CPACK_DEBIAN_UNSPECIFIED_DESCRIPTION
    "arcade space combat against one huge enemy cube
You command the starship Halcyra at the bottom of a viewscreen of falling
stars and fight one huge cube of the Vessik, which comes down from above,
follows your ship and sinks towards it. Steer the ship and the phaser
crosshairs, fire phasers and photon torpedoes, and raise your shields against
its antimatter globes.

Each phaser hit scores 2 points and each torpedo on the cube 5; more than 499
points win. The number of stars, chosen before every game, sets the game's
speed.")
set(CPACK_GENERATOR DEB)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)

set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://korvane.example.org/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded at run time, so the binary cannot tell: Qt's window-system plugins, without which
# no window opens, and the narrow font the game's captions are measured for.
set(CPACK_DEBIAN_PACKAGE_DEPENDS qt6-qpa-plugins)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS fonts-liberation2)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

# One package per component: the game's files name none (CMake calls them Unspecified),
# the hall's are the component hall.
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL Unspecified)
set(CPACK_DEBIAN_UNSPECIFIED_PACKAGE_NAME korvane)
set(CPACK_DEBIAN_PACKAGE_SOURCE korvane)
if(TARGET korvane-hall)
    include(${CMAKE_CURRENT_LIST_DIR}/packaging_hall.cmake)
endif()

# Moves the game to /usr/games and adds Debian's own documents to the staged package.
set(CPACK_KORVANE_DEB_FILES ${PROJECT_SOURCE_DIR}/packaging)
set(CPACK_PRE_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/packaging/deb_stage.cmake)

include(CPack)
