# Included by packaging/CMakeLists.txt on Apple, after the bundle's own install rule.
# Installing makes the bundle self-contained: Qt's frameworks and plugins copied in by macdeployqt
# (without it the installed .app would load the build machine's Qt), then an ad-hoc signature over
# the whole, which Apple Silicon requires of every binary it runs.
get_target_property(qmake Qt6::qmake LOCATION)
get_filename_component(qt_bin ${qmake} DIRECTORY)
find_program(QUORVEL_MACDEPLOYQT macdeployqt HINTS ${qt_bin} REQUIRED)
find_program(QUORVEL_CODESIGN codesign REQUIRED)
set(installed_app "\$ENV{DESTDIR}${QUORVEL_INSTALL_DIR}/QUORVEL Connect.app")
install(CODE "
    execute_process(COMMAND \"${QUORVEL_MACDEPLOYQT}\" \"${installed_app}\" -always-overwrite
                    COMMAND_ERROR_IS_FATAL ANY)
    execute_process(COMMAND \"${QUORVEL_CODESIGN}\" --force --deep --sign - \"${installed_app}\"
                    COMMAND_ERROR_IS_FATAL ANY)
")
