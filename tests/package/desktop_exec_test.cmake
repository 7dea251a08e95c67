# The desktop entry's Exec and TryExec for service folders whose paths need quoting or escaping:
# each value is what the desktop entry rules ask for, and each generated entry validates.
# Run with -DSOURCE_DIR=<repository> -DWORK_DIR=<scratch folder>.
include(${SOURCE_DIR}/packaging/cmake/desktop_exec.cmake)

# Each case: the program path, the Exec value, the TryExec value.
set(cases
    "/opt/quorvel-connect/quorvel-connect|/opt/quorvel-connect/quorvel-connect|/opt/quorvel-connect/quorvel-connect"
    "/opt/QUORVEL Connect/quorvel-connect|\"/opt/QUORVEL Connect/quorvel-connect\"|/opt/QUORVEL Connect/quorvel-connect"
    "/srv/100%/événements/quorvel-connect|/srv/100%%/événements/quorvel-connect|/srv/100%/événements/quorvel-connect"
    "/srv/it's \"$HOME\"`x`\\y/quorvel-connect|\"/srv/it's \\\\\"\\\\$HOME\\\\\"\\\\`x\\\\`\\\\\\\\y/quorvel-connect\"|/srv/it's \"$HOME\"`x`\\\\y/quorvel-connect")

find_program(validator desktop-file-validate REQUIRED)
set(failures 0)
set(index 0)
foreach(case IN LISTS cases)
    string(REPLACE "|" ";" fields "${case}")
    list(GET fields 0 program)
    list(GET fields 1 expected_exec)
    list(GET fields 2 expected_tryexec)

    quorvel_desktop_exec_argument("${program}" QUORVEL_DESKTOP_EXEC)
    quorvel_desktop_string("${program}" QUORVEL_DESKTOP_TRYEXEC)
    if(NOT QUORVEL_DESKTOP_EXEC STREQUAL expected_exec)
        message(SEND_ERROR "${program}: Exec is [${QUORVEL_DESKTOP_EXEC}], expected [${expected_exec}]")
        math(EXPR failures "${failures} + 1")
    endif()
    if(NOT QUORVEL_DESKTOP_TRYEXEC STREQUAL expected_tryexec)
        message(SEND_ERROR "${program}: TryExec is [${QUORVEL_DESKTOP_TRYEXEC}], expected [${expected_tryexec}]")
        math(EXPR failures "${failures} + 1")
    endif()

    set(entry ${WORK_DIR}/case-${index}/org.quorvel.connect.menu.desktop)
    configure_file(${SOURCE_DIR}/packaging/linux/org.quorvel.connect.menu.desktop.in ${entry} @ONLY)
    execute_process(COMMAND ${validator} ${entry} RESULT_VARIABLE status OUTPUT_VARIABLE report
                    ERROR_VARIABLE report)
    if(NOT status EQUAL 0 OR NOT report STREQUAL "")
        message(SEND_ERROR "${program}: the desktop entry does not validate:\n${report}")
        math(EXPR failures "${failures} + 1")
    endif()
    math(EXPR index "${index} + 1")
endforeach()

list(LENGTH cases count)
if(failures GREATER 0)
    message(FATAL_ERROR "${failures} failure(s) in ${count} program paths")
endif()
message(STATUS "desktop entry Exec: ${count} program paths ok")
