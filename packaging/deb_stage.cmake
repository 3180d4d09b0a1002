# Run by CPack on its staged copy of the install, just before it packs it. Debian keeps
# games in /usr/games and wants its own copyright file, changelog and manual page in every
# package, compressed the reproducible way (gzip -9n); a plain `cmake --install` has no
# use for those, so only the package gets them.
if(NOT CPACK_GENERATOR STREQUAL "DEB")
    return()
endif()
set(src "${CPACK_KORVANE_DEB_FILES}")
set(usr "${CPACK_TEMPORARY_INSTALL_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX}")

file(MAKE_DIRECTORY "${usr}/games" "${usr}/share/doc/korvane" "${usr}/share/man/man6"
     "${usr}/share/lintian/overrides")
file(RENAME "${usr}/bin/korvane" "${usr}/games/korvane")
file(REMOVE_RECURSE "${usr}/bin")
# What dh_strip would also drop: the compiler's notes are of no use to a player.
execute_process(COMMAND strip --remove-section=.comment --remove-section=.note
                        "${usr}/games/korvane" COMMAND_ERROR_IS_FATAL ANY)
# The launcher names the binary where it now is, whatever the desktop's PATH.
set(desktop "${usr}/share/applications/org.korvane.Korvane.desktop")
file(READ "${desktop}" entry)
string(REGEX REPLACE "\nExec=korvane" "\nExec=/usr/games/korvane" entry "${entry}")
file(WRITE "${desktop}" "${entry}")

file(COPY_FILE "${src}/copyright" "${usr}/share/doc/korvane/copyright")
file(COPY_FILE "${src}/lintian-overrides" "${usr}/share/lintian/overrides/korvane")
foreach(pair "changelog;share/doc/korvane/changelog.Debian.gz" "korvane.6;share/man/man6/korvane.6.gz")
    list(GET pair 0 in)
    list(GET pair 1 out)
    execute_process(COMMAND gzip -9n -c "${src}/${in}" OUTPUT_FILE "${usr}/${out}"
                    COMMAND_ERROR_IS_FATAL ANY)
endforeach()
