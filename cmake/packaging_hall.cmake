# The korvane-hall package: the server in /usr/bin, run by systemd as the system user
# korvane-hall with its SQLite file in /var/lib/korvane-hall (made by the maintainer
# scripts), settings in /etc/default/korvane-hall (and /etc/korvane-hall/NAME.conf for each
# more hall of korvane-hall@.service), and the browser build under
# /usr/share/korvane-hall/play when KORVANE_HALL_PACKAGE_WEB names a built one (web/build.sh):
# the package is built on the machine that built the page, so the page is only carried.
set(KORVANE_HALL_PACKAGE_WEB "" CACHE PATH "A built browser folder for the korvane-hall package")
set(hall_files ${PROJECT_SOURCE_DIR}/packaging/hall)

# Only the package installs the hall: `cmake --install` stays the player's game alone.
set(only_packaged COMPONENT hall EXCLUDE_FROM_ALL)
install(TARGETS korvane-hall RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} ${only_packaged})
install(FILES ${hall_files}/korvane-hall.service ${hall_files}/korvane-hall@.service
        DESTINATION lib/systemd/system ${only_packaged})
install(FILES ${hall_files}/default DESTINATION ${CMAKE_INSTALL_SYSCONFDIR}/default
        RENAME korvane-hall ${only_packaged})
install(FILES ${PROJECT_SOURCE_DIR}/docs/hall.md DESTINATION ${CMAKE_INSTALL_DOCDIR}-hall
        ${only_packaged})
install(FILES ${hall_files}/nginx-one-hall.conf ${hall_files}/nginx-several-halls.conf
        ${hall_files}/korvane-hall-instance.conf
        DESTINATION ${CMAKE_INSTALL_DOCDIR}-hall/examples ${only_packaged})
set(page ${KORVANE_HALL_PACKAGE_WEB})
if(page)
    if(NOT EXISTS ${page}/index.html)
        message(FATAL_ERROR "KORVANE_HALL_PACKAGE_WEB has no index.html: ${page}")
    endif()
    install(DIRECTORY ${page}/ DESTINATION ${CMAKE_INSTALL_DATADIR}/korvane-hall/play
            ${only_packaged} FILES_MATCHING PATTERN "*.html" PATTERN "*.js"
            PATTERN "*.wasm" PATTERN "*.css" PATTERN "*.png" PATTERN "*.svg" PATTERN "*.json"
            PATTERN "*.webmanifest" PATTERN "*.ico" PATTERN "CMakeFiles" EXCLUDE)
endif()

list(APPEND CPACK_COMPONENTS_ALL hall)
set(CPACK_DEBIAN_HALL_PACKAGE_NAME korvane-hall)
set(CPACK_DEBIAN_HALL_PACKAGE_SECTION web)
set(CPACK_DEBIAN_HALL_DESCRIPTION
    "hall of fame server for Korvane: scores proven by replaying their games
korvane-hall keeps a table of Korvane's high scores on the web. A player takes
a ticket (a fresh random seed), plays, and sends the recording of the game; the
server replays it with the game's own engine and stores the score only when
the replay gives exactly that score.

It serves a JSON API, an HTML table and the browser build of the game, stores
in SQLite or in PostgreSQL shared by several servers behind a proxy, and runs
as a systemd service.")
# Loaded at run time, so shlibdeps cannot see them: Qt SQL's drivers, and the tools the
# maintainer scripts call.
set(CPACK_DEBIAN_HALL_PACKAGE_DEPENDS "libqt6sql6-sqlite, adduser")
set(CPACK_DEBIAN_HALL_PACKAGE_RECOMMENDS "libqt6sql6-psql")
# sqlite3 makes the copy of each hall's SQLite file that an upgrade takes first.
set(CPACK_DEBIAN_HALL_PACKAGE_SUGGESTS "nginx, postgresql, sqlite3")
set(CPACK_DEBIAN_HALL_PACKAGE_CONTROL_EXTRA
    ${hall_files}/postinst ${hall_files}/prerm ${hall_files}/postrm ${hall_files}/conffiles)
