# Installs the build into a fresh prefix and runs the installed korvane --version.
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX}
                RESULT_VARIABLE installed OUTPUT_QUIET)
if(NOT installed EQUAL 0)
    message(FATAL_ERROR "cmake --install failed")
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
