# Run by CPack on its staged copy of the install, just before it packs it: one folder per
# package (Unspecified for the game, hall for korvane-hall). Debian keeps games in
# /usr/games, unit files in /lib/systemd/system and settings in /etc, and wants its own
# copyright file, changelog and manual page in every package, compressed the reproducible
# way (gzip -9n); a plain `cmake --install` has no use for those, so only the packages get
# them.
if(NOT CPACK_GENERATOR STREQUAL "DEB")
    return()
endif()
set(src "${CPACK_KORVANE_DEB_FILES}")

# Debian's documents of package NAME, staged at USR.
function(add_debian_documents usr name)
    file(MAKE_DIRECTORY "${usr}/share/doc/${name}")
    file(COPY_FILE "${src}/copyright" "${usr}/share/doc/${name}/copyright")
    execute_process(COMMAND gzip -9n -c "${src}/changelog"
                    OUTPUT_FILE "${usr}/share/doc/${name}/changelog.Debian.gz"
                    COMMAND_ERROR_IS_FATAL ANY)
    # What dh_strip would also drop: the compiler's notes are of no use to anyone.
    foreach(binary IN LISTS ARGN)
        execute_process(COMMAND strip --remove-section=.comment --remove-section=.note
                                "${usr}/${binary}" COMMAND_ERROR_IS_FATAL ANY)
    endforeach()
endfunction()

set(usr "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/Unspecified${CPACK_PACKAGING_INSTALL_PREFIX}")
file(MAKE_DIRECTORY "${usr}/games" "${usr}/share/man/man6" "${usr}/share/lintian/overrides")
file(RENAME "${usr}/bin/korvane" "${usr}/games/korvane")
file(REMOVE_RECURSE "${usr}/bin")
add_debian_documents("${usr}" korvane games/korvane)
# The launcher names the binary where it now is, whatever the desktop's PATH.
set(desktop "${usr}/share/applications/org.korvane.Korvane.desktop")
file(READ "${desktop}" entry)
string(REGEX REPLACE "\nExec=korvane" "\nExec=/usr/games/korvane" entry "${entry}")
file(WRITE "${desktop}" "${entry}")
file(COPY_FILE "${src}/lintian-overrides" "${usr}/share/lintian/overrides/korvane")
execute_process(COMMAND gzip -9n -c "${src}/korvane.6"
                OUTPUT_FILE "${usr}/share/man/man6/korvane.6.gz" COMMAND_ERROR_IS_FATAL ANY)

set(hall "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/hall")
if(IS_DIRECTORY "${hall}")
    add_debian_documents("${hall}${CPACK_PACKAGING_INSTALL_PREFIX}" korvane-hall bin/korvane-hall)
    file(MAKE_DIRECTORY "${hall}/lib" "${hall}/usr/share/lintian/overrides"
         "${hall}/usr/share/man/man8")
    execute_process(COMMAND gzip -9n -c "${src}/hall/korvane-hall.8"
                    OUTPUT_FILE "${hall}/usr/share/man/man8/korvane-hall.8.gz"
                    COMMAND_ERROR_IS_FATAL ANY)
    file(RENAME "${hall}/usr/lib/systemd" "${hall}/lib/systemd")
    file(REMOVE_RECURSE "${hall}/usr/lib")
    file(RENAME "${hall}/usr/etc" "${hall}/etc")
    file(COPY_FILE "${src}/hall/lintian-overrides"
         "${hall}/usr/share/lintian/overrides/korvane-hall")
endif()
