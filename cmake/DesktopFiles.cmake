# suite_install_desktop_files(ID ICON svg VERSION v [MIME xml]), called from a program's
# CMakeLists.txt with paths relative to it: installs resources/ID.desktop of that program, its
# resources/ID.metainfo.xml with the program's version filled in, the icon under the name ID as
# SVG and in every PNG size of SUITE_ICON_SIZES (rendered at build time by the svgtopng tool of
# desktop/), and the shared-mime-info package as ID.xml.
include(GNUInstallDirs)
set(SUITE_ICON_SIZES 16 22 24 32 48 64 128 256)

function(suite_install_desktop_files id)
    cmake_parse_arguments(A "" "ICON;MIME;VERSION" "" ${ARGN})
    get_filename_component(icon ${A_ICON} ABSOLUTE)
    set(resources ${CMAKE_CURRENT_SOURCE_DIR}/resources)
    set(icons ${CMAKE_CURRENT_BINARY_DIR}/icons)
    set(pngs)
    foreach(size IN LISTS SUITE_ICON_SIZES)
        list(APPEND pngs ${icons}/${size}x${size}/apps/${id}.png)
    endforeach()
    add_custom_command(
        OUTPUT ${pngs}
        COMMAND svgtopng ${icon} ${id} ${icons} ${SUITE_ICON_SIZES}
        DEPENDS svgtopng ${icon}
        COMMENT "Rendering the icons of ${id}"
        VERBATIM)
    add_custom_target(${id}.icons ALL DEPENDS ${pngs})

    set(VERSION ${A_VERSION})
    set(metainfo ${CMAKE_CURRENT_BINARY_DIR}/${id}.metainfo.xml)
    configure_file(${resources}/${id}.metainfo.xml ${metainfo} @ONLY)

    set(share ${CMAKE_INSTALL_DATADIR})
    install(DIRECTORY ${icons}/ DESTINATION ${share}/icons/hicolor)
    install(FILES ${icon} DESTINATION ${share}/icons/hicolor/scalable/apps RENAME ${id}.svg)
    install(FILES ${resources}/${id}.desktop DESTINATION ${share}/applications)
    install(FILES ${metainfo} DESTINATION ${share}/metainfo)
    if(A_MIME)
        install(FILES ${A_MIME} DESTINATION ${share}/mime/packages RENAME ${id}.xml)
    endif()
endfunction()
