# A desktop's menu entry, icons and software-centre metadata, and the documents a Debian package carries.
set(linux_dir ${PROJECT_SOURCE_DIR}/resources/linux)
set(icon_svg ${PROJECT_SOURCE_DIR}/resources/icons/${GROMADNIK_APP_ID}.svg)

find_program(GROMADNIK_RSVG_CONVERT rsvg-convert)
if(NOT GROMADNIK_RSVG_CONVERT)
    message(FATAL_ERROR "rsvg-convert is missing: it draws the program's PNG icons from ${icon_svg}. "
                        "It is in the Debian package librsvg2-bin, which scripts/install-deps.sh installs.")
endif()
find_program(GROMADNIK_GZIP gzip REQUIRED)

set(made_files)
foreach(size 48 256)
    set(png ${CMAKE_CURRENT_BINARY_DIR}/icons/${size}x${size}/${GROMADNIK_APP_ID}.png)
    add_custom_command(OUTPUT ${png}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/icons/${size}x${size}
        COMMAND ${GROMADNIK_RSVG_CONVERT} --width ${size} --height ${size} --output ${png} ${icon_svg}
        DEPENDS ${icon_svg}
        COMMENT "Drawing the ${size} px icon"
        VERBATIM)
    list(APPEND made_files ${png})
    install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()

# Debian wants both compressed to the full, and without a time stamp, so two builds give the same bytes.
set(doc_dir ${CMAKE_CURRENT_BINARY_DIR}/doc)
foreach(source changelog gromadnik.1)
    set(copy ${doc_dir}/${source})
    add_custom_command(OUTPUT ${copy}.gz
        COMMAND ${CMAKE_COMMAND} -E copy ${linux_dir}/${source} ${copy}
        COMMAND ${GROMADNIK_GZIP} -9nf ${copy}
        DEPENDS ${linux_dir}/${source}
        VERBATIM)
    list(APPEND made_files ${copy}.gz)
endforeach()
add_custom_target(gromadnik_desktop_files ALL DEPENDS ${made_files})

install(FILES ${icon_svg} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${linux_dir}/${GROMADNIK_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${linux_dir}/${GROMADNIK_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${doc_dir}/gromadnik.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${linux_dir}/copyright ${doc_dir}/changelog.gz DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/gromadnik)

set(CPACK_GENERATOR DEB)
