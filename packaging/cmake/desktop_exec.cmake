# How a program path is written into a desktop entry. An Exec argument that holds a reserved
# character is put in double quotes, with ", `, $ and \ escaped inside them; then, as in every
# string value of the file, each backslash is doubled, and in Exec a literal % is written %%.

function(quorvel_desktop_exec_argument path out)
    if(path MATCHES "[\n\r\t]")
        message(FATAL_ERROR "A desktop entry cannot name a program path with a line break or tab: ${path}")
    endif()
    set(value "${path}")
    if(value MATCHES "[ \"'\\\\><~|&;$*?#()`]")
        string(REPLACE "\\" "\\\\" value "${value}")
        string(REPLACE "\"" "\\\"" value "${value}")
        string(REPLACE "`" "\\`" value "${value}")
        string(REPLACE "$" "\\$" value "${value}")
        set(value "\"${value}\"")
    endif()
    string(REPLACE "\\" "\\\\" value "${value}")
    string(REPLACE "%" "%%" value "${value}")
    set(${out} "${value}" PARENT_SCOPE)
endfunction()

# TryExec is a plain string: only the backslash needs escaping.
function(quorvel_desktop_string path out)
    string(REPLACE "\\" "\\\\" value "${path}")
    set(${out} "${value}" PARENT_SCOPE)
endfunction()
