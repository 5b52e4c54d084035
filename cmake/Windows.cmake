# A Windows installation is one folder: the program, every DLL it loads and Qt's plugins and
# translations beside it, as windeployqt lays them out; NSIS makes the installer of that folder.
get_target_property(qmake_location Qt6::qmake IMPORTED_LOCATION)
get_filename_component(qt_bin_dir ${qmake_location} DIRECTORY)
find_program(GROMADNIK_WINDEPLOYQT windeployqt HINTS ${qt_bin_dir} REQUIRED)

# The libraries that are not Qt's (libjpeg, libcurl, libzip, libexif, libwmf, libemf2svg and theirs),
# found where the linker found them.
install(TARGETS gromadnik RUNTIME_DEPENDENCIES
    PRE_EXCLUDE_REGEXES "^api-ms-" "^ext-ms-" "^Qt6"
    POST_EXCLUDE_REGEXES ".*[/\\\\][Ss]ystem32[/\\\\].*"
    DIRECTORIES ${qt_bin_dir} $ENV{PATH}
    RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

install(CODE "
    execute_process(COMMAND \"${GROMADNIK_WINDEPLOYQT}\" --no-compiler-runtime --no-system-d3d-compiler
                            --dir \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\"
                            \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/gromadnik.exe\"
                    COMMAND_ERROR_IS_FATAL ANY)
    # Qt looks for its plugins and its Polish texts next to the program, where windeployqt put them.
    file(WRITE \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/qt.conf\"
         \"[Paths]\\nPrefix=.\\nPlugins=.\\nTranslations=translations\\n\")
")
# The compiler's own run-time DLLs (MSVC's or MinGW's).
set(CMAKE_INSTALL_SYSTEM_RUNTIME_DESTINATION ${CMAKE_INSTALL_BINDIR})
include(InstallRequiredSystemLibraries)

set(CPACK_GENERATOR NSIS ZIP)
set(CPACK_NSIS_DISPLAY_NAME Gromadnik)
set(CPACK_NSIS_PACKAGE_NAME Gromadnik)
set(CPACK_NSIS_URL_INFO_ABOUT "https://gromadnik.example/")
set(CPACK_NSIS_INSTALLED_ICON_NAME "${CMAKE_INSTALL_BINDIR}\\\\gromadnik.exe")
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
# Start-menu shortcut: the program and its caption.
set(CPACK_PACKAGE_EXECUTABLES gromadnik Gromadnik)
set(CPACK_NSIS_MUI_FINISHPAGE_RUN gromadnik.exe)
