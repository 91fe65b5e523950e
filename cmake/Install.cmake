# Where the installed program goes: the programs, the desktop entry, the
# icons, the AppStream metainfo, the manual pages and the package's
# documentation, at the places GNUInstallDirs names, so that a desktop finds
# Kavirel in its application menu and opens sound files with it.

include(GNUInstallDirs)
# The documentation folder carries the package's name, as Debian wants it,
# not the project's.
set(KAVIREL_DOCDIR ${CMAKE_INSTALL_DATAROOTDIR}/doc/kavirel)

set(linux_dir ${CMAKE_SOURCE_DIR}/resources/linux)
set(generated_dir ${CMAKE_BINARY_DIR}/installed)

install(TARGETS kavirel kavirel-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

install(FILES ${linux_dir}/${KAVIREL_APP_ID}.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${linux_dir}/${KAVIREL_APP_ID}.svg
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(DIRECTORY ${KAVIREL_ICON_DIR}/ DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor)

configure_file(${linux_dir}/${KAVIREL_APP_ID}.metainfo.xml.in
    ${generated_dir}/${KAVIREL_APP_ID}.metainfo.xml @ONLY)
install(FILES ${generated_dir}/${KAVIREL_APP_ID}.metainfo.xml
    DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# Manual pages and the changelog go compressed, reproducibly (no name or
# time stamp in the gzip header).
find_program(GZIP_PROGRAM gzip REQUIRED)
set(compressed)
foreach(source IN ITEMS kavirel.1 kavirel-cli.1 changelog)
    set(target ${generated_dir}/${source}.gz)
    add_custom_command(OUTPUT ${target}
        COMMAND sh -c "${GZIP_PROGRAM} -9nc \"$1\" > \"$2\"" sh ${linux_dir}/${source} ${target}
        DEPENDS ${linux_dir}/${source}
        VERBATIM)
    list(APPEND compressed ${target})
endforeach()
add_custom_target(kavirel_compressed_docs ALL DEPENDS ${compressed})
install(FILES ${generated_dir}/kavirel.1.gz ${generated_dir}/kavirel-cli.1.gz
    DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${linux_dir}/copyright ${generated_dir}/changelog.gz
    DESTINATION ${KAVIREL_DOCDIR})

# The user manual: the program shows it from its resources on F1; the same
# page goes beside the package's documentation for reading in a browser.
install(FILES ${CMAKE_SOURCE_DIR}/resources/manual/manual.html DESTINATION ${KAVIREL_DOCDIR})
