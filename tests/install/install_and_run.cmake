# Installs the build into a fresh prefix and runs the installed korvane --version, without
# touching the build's install_manifest.txt: that list is how a player uninstalls what
# `cmake --install build` put on the machine, so the install here writes its own list
# beside the prefix, and the recipe to uninstall is tried on it.
file(REMOVE_RECURSE ${PREFIX} ${PREFIX}-script)
set(manifest ${BUILD_DIR}/install_manifest.txt)
set(before "(none)")
if(EXISTS ${manifest})
    file(READ ${manifest} before)
    file(TIMESTAMP ${manifest} before_time "%s")
    string(APPEND before " ${before_time}")
endif()

# The build's install script, with the one line that writes the list pointed elsewhere.
file(READ ${BUILD_DIR}/cmake_install.cmake script)
set(writes_list "file(WRITE \"${BUILD_DIR}/\${CMAKE_INSTALL_MANIFEST}\"")
string(FIND "${script}" "${writes_list}" at)
if(at EQUAL -1)
    message(FATAL_ERROR "cmake_install.cmake no longer writes its list as expected")
endif()
string(REPLACE "${writes_list}" "file(WRITE \"${PREFIX}-script/\${CMAKE_INSTALL_MANIFEST}\""
       script "${script}")
file(WRITE ${PREFIX}-script/cmake_install.cmake "${script}")
execute_process(COMMAND ${CMAKE_COMMAND} -DCMAKE_INSTALL_PREFIX=${PREFIX}
                        -P ${PREFIX}-script/cmake_install.cmake
                RESULT_VARIABLE installed OUTPUT_QUIET)
if(NOT installed EQUAL 0)
    message(FATAL_ERROR "the install failed")
endif()

set(after "(none)")
if(EXISTS ${manifest})
    file(READ ${manifest} after)
    file(TIMESTAMP ${manifest} after_time "%s")
    string(APPEND after " ${after_time}")
endif()
if(NOT after STREQUAL before)
    message(FATAL_ERROR "the test's install rewrote ${manifest}")
endif()

foreach(f bin/korvane share/applications/org.korvane.Korvane.desktop
          share/metainfo/org.korvane.Korvane.metainfo.xml
          share/icons/hicolor/48x48/apps/korvane.png
          share/icons/hicolor/scalable/apps/korvane.svg)
    if(NOT EXISTS ${PREFIX}/${f})
        message(FATAL_ERROR "not installed: ${f}")
    endif()
endforeach()
execute_process(COMMAND ${PREFIX}/bin/korvane --version
                RESULT_VARIABLE ran OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT ran EQUAL 0 OR NOT out MATCHES "^korvane [0-9]")
    message(FATAL_ERROR "installed korvane --version: ${ran} ${out} ${err}")
endif()
message(STATUS "installed korvane says: ${out}")

# The README's uninstall: removing every file the list names leaves no file behind.
execute_process(COMMAND sh -c "xargs rm -f < '${PREFIX}-script/install_manifest.txt'"
                RESULT_VARIABLE removed)
file(GLOB_RECURSE left ${PREFIX}/*)
if(NOT removed EQUAL 0 OR left)
    message(FATAL_ERROR "uninstalling by the list left: ${left}")
endif()
