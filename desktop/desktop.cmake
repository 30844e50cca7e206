# What makes the program at home on a desktop: its menu entry, its icons in the hicolor theme
# (PNGs rendered from the SVG at build time), the file type of tag setting files, and its
# AppStream description.
set(QUOR_APP_ID org.quortageditor.QuorTagEditor)
set(QUOR_ICON_SIZES 16 22 24 32 48 64 128 256)
set(QUOR_ICON_SVG ${CMAKE_CURRENT_LIST_DIR}/${QUOR_APP_ID}.svg)

find_program(RSVG_CONVERT rsvg-convert REQUIRED)
set(pngs)
foreach(size IN LISTS QUOR_ICON_SIZES)
    set(png ${CMAKE_BINARY_DIR}/icons/${size}/${QUOR_APP_ID}.png)
    add_custom_command(OUTPUT ${png}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/icons/${size}
        COMMAND ${RSVG_CONVERT} -w ${size} -h ${size} -o ${png} ${QUOR_ICON_SVG}
        DEPENDS ${QUOR_ICON_SVG}
        VERBATIM)
    list(APPEND pngs ${png})
    install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
add_custom_target(quor_icons ALL DEPENDS ${pngs})

# The window shows the same icon, from a resource of the upper layer.
set(qrc ${CMAKE_BINARY_DIR}/icons/quor_window_icon.qrc)
set(qrc_files "")
foreach(size 16 24 32 48 256)
    string(APPEND qrc_files "    <file alias=\"${size}/${QUOR_APP_ID}.png\">${size}/${QUOR_APP_ID}.png</file>\n")
endforeach()
file(CONFIGURE OUTPUT ${qrc} CONTENT "<RCC>\n  <qresource prefix=\"/icons\">\n${qrc_files}  </qresource>\n</RCC>\n")
qt_add_resources(quor_icon_sources ${qrc})
target_sources(quor_gui PRIVATE ${quor_icon_sources})
add_dependencies(quor_gui quor_icons)

install(FILES ${QUOR_ICON_SVG} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${QUOR_ICON_SVG} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/mimetypes
    RENAME application-x-quor-tag-setting.svg)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/${QUOR_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/${QUOR_APP_ID}.mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
    RENAME ${QUOR_APP_ID}.xml)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/${QUOR_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# The manual page (written from --help; a test of test_cli keeps them in step), compressed as
# Debian keeps manual pages, and the copyright file where Debian looks for it.
set(QUOR_MAN_PAGE ${CMAKE_CURRENT_LIST_DIR}/QuorTagEditor.1)
set(QUOR_MAN_PAGE_GZ ${CMAKE_BINARY_DIR}/man/QuorTagEditor.1.gz)
find_program(GZIP gzip REQUIRED)
add_custom_command(OUTPUT ${QUOR_MAN_PAGE_GZ}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
    COMMAND ${CMAKE_COMMAND} -E copy ${QUOR_MAN_PAGE} ${CMAKE_BINARY_DIR}/man/QuorTagEditor.1
    COMMAND ${GZIP} -9nf ${CMAKE_BINARY_DIR}/man/QuorTagEditor.1
    DEPENDS ${QUOR_MAN_PAGE}
    VERBATIM)
add_custom_target(quor_man_page ALL DEPENDS ${QUOR_MAN_PAGE_GZ})
install(FILES ${QUOR_MAN_PAGE_GZ} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/quortageditor)
