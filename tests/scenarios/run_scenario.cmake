# Runs one scenario: `korvane-sim SCRIPT` must exit 0; its `expect` and `logged` lines are the
# checks. Where a log is pinned beside the script (NAME.log), the whole log must match it.
# KORVANE_UPDATE_GOLDEN=<test name> rewrites that one log instead, except under CI.
execute_process(COMMAND ${SIM} ${SCRIPT} OUTPUT_VARIABLE log ERROR_VARIABLE err
                RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
    string(REGEX MATCH "[^\n]*\n?$" last "${log}")
    message(FATAL_ERROR "korvane-sim ${SCRIPT} exited with ${rc}\n${err}${last}")
endif()
string(REGEX REPLACE "\\.kvs$" ".log" pinned ${SCRIPT})
if(NOT EXISTS ${pinned})
    return()
endif()
if("$ENV{KORVANE_UPDATE_GOLDEN}" STREQUAL NAME)
    if(DEFINED ENV{CI})
        message(FATAL_ERROR "KORVANE_UPDATE_GOLDEN is refused when CI is set")
    endif()
    file(WRITE ${pinned} "${log}")
    message(STATUS "rewrote ${pinned}: review it with git diff")
    return()
endif()
file(READ ${pinned} want)
if(NOT log STREQUAL want)
    file(WRITE ${NAME}.got.log "${log}")
    execute_process(COMMAND diff -u ${pinned} ${NAME}.got.log OUTPUT_VARIABLE diff)
    string(SUBSTRING "${diff}" 0 3000 diff)
    message(FATAL_ERROR "the log differs from ${pinned}:\n${diff}\nAfter an intended change: "
                        "KORVANE_UPDATE_GOLDEN=${NAME} ctest --test-dir build -R '^${NAME}$'")
endif()
