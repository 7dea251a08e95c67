# macOS: the program as a menu-bar-only .app bundle. Included by platform/mac/CMakeLists.txt;
# Linux builds never read it. Built and tested by the macOS CI job (see the README).
#
# The bundle keeps the identifier by which running copies are recognised, shows no Dock icon from
# its first instant (LSUIElement), and carries the program icon rendered from the same SVG art.

set(icons ${PROJECT_SOURCE_DIR}/packaging/icons)
set(app_id org.quorvel.connect.menu)

# The .icns: every size of an iconset rendered from the SVG art (the small ones from their own
# pixel-grid drawings), then packed by iconutil.
find_program(QUORVEL_RSVG_CONVERT rsvg-convert REQUIRED)
find_program(QUORVEL_ICONUTIL iconutil REQUIRED)
set(iconset ${CMAKE_CURRENT_BINARY_DIR}/${app_id}.iconset)
set(icns ${CMAKE_CURRENT_BINARY_DIR}/${app_id}.icns)
set(render_commands)
set(render_sources)
foreach(entry 16x16:16 16x16@2x:32 32x32:32 32x32@2x:64 128x128:128 128x128@2x:256 256x256:256
              256x256@2x:512 512x512:512 512x512@2x:1024)
    string(REPLACE ":" ";" fields ${entry})
    list(GET fields 0 name)
    list(GET fields 1 pixels)
    set(source ${icons}/${app_id}.svg)
    if(EXISTS ${icons}/${app_id}-${pixels}.svg)
        set(source ${icons}/${app_id}-${pixels}.svg)
    endif()
    list(APPEND render_sources ${source})
    list(APPEND render_commands COMMAND ${QUORVEL_RSVG_CONVERT} --width=${pixels} --height=${pixels}
         --output=${iconset}/icon_${name}.png ${source})
endforeach()
add_custom_command(
    OUTPUT ${icns}
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${iconset}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${iconset}
    ${render_commands}
    COMMAND ${QUORVEL_ICONUTIL} --convert icns --output ${icns} ${iconset}
    DEPENDS ${render_sources}
    COMMENT "Making the application icon"
    VERBATIM)
target_sources(quorvel-connect PRIVATE ${icns})
set_source_files_properties(${icns} PROPERTIES MACOSX_PACKAGE_LOCATION Resources)

set_target_properties(quorvel-connect PROPERTIES
    MACOSX_BUNDLE TRUE
    OUTPUT_NAME "QUORVEL Connect"
    MACOSX_BUNDLE_INFO_PLIST ${CMAKE_CURRENT_LIST_DIR}/Info.plist.in
    MACOSX_BUNDLE_ICON_FILE ${app_id}.icns
    MACOSX_BUNDLE_SHORT_VERSION_STRING ${PROJECT_VERSION}
    MACOSX_BUNDLE_BUNDLE_VERSION ${PROJECT_VERSION}
)

