# Where `cmake --install` puts the program, and the package CPack makes of it.
include(GNUInstallDirs)

install(TARGETS gromadnik RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

if(UNIX AND NOT APPLE)
    include(${CMAKE_CURRENT_LIST_DIR}/Desktop.cmake)
elseif(WIN32)
    include(${CMAKE_CURRENT_LIST_DIR}/Windows.cmake)
endif()

set(CPACK_PACKAGE_NAME gromadnik)
set(CPACK_PACKAGE_VENDOR "Zespół Gromadnika")
set(CPACK_PACKAGE_CONTACT "Zespół Gromadnika <zespol@gromadnik.example>")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://gromadnik.example/")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "catalogue of a collector's collection")
set(CPACK_PACKAGE_INSTALL_DIRECTORY Gromadnik)
set(CPACK_STRIP_FILES ON)
# Whatever the umask of whoever builds it.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Loaded at run time, so no library dependency names them: Qt's own Polish texts, the WebP and TIFF
# readers, and the fonts libwmf draws metafile text with.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-translations-l10n, qt6-image-formats-plugins, fonts-urw-base35")
# CPack takes the synopsis from the summary above; this is the text under it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Gromadnik keeps a collector's catalogue of coins, stamps, postcards or anything
else, in categories and subcategories. Each subcategory has up to ten fields
named by the collector; each item has a description, a comment and photos.
The catalogue is kept in plain text files in one folder. The interface is in
Polish.
.
Po polsku: katalog zbiorów kolekcjonera.")

include(CPack)
