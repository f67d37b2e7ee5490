# The Debian package (make deb, or cpack -G DEB in the build folder): the three executables, the
# shared resources, a desktop entry with its icon and the scheduled download service.

set(BASCORA_MANTENEDOR "Bascora developers <bascora@example.org>"
    CACHE STRING "Maintainer of the Debian package: Name <address>")

set(DIR_PAQUETE ${CMAKE_SOURCE_DIR}/paquete)

install(PROGRAMS ${DIR_PAQUETE}/bascora-escritorio DESTINATION libexec/bascora)
install(FILES ${DIR_PAQUETE}/bascora.desktop DESTINATION share/applications)
install(FILES share/iconos/bascora.svg DESTINATION share/icons/hicolor/scalable/apps)
install(FILES share/systemd/bascora-auto@.service DESTINATION lib/systemd/system)

# Debian wants the changelog and the manual pages compressed, without a time stamp inside.
function(comprimir_para_paquete origen destino)
    configure_file(${origen} ${destino} @ONLY)
    execute_process(COMMAND gzip -n -9 -f ${destino} RESULT_VARIABLE estado)
    if(NOT estado EQUAL 0)
        message(FATAL_ERROR "gzip failed on ${destino}")
    endif()
endfunction()

comprimir_para_paquete(${DIR_PAQUETE}/changelog.in ${CMAKE_BINARY_DIR}/paquete/changelog)
install(FILES ${DIR_PAQUETE}/copyright ${CMAKE_BINARY_DIR}/paquete/changelog.gz
        DESTINATION share/doc/bascora)
foreach(programa bascora bascora-cli bascora-simulador)
    comprimir_para_paquete(${DIR_PAQUETE}/man/${programa}.1
                           ${CMAKE_BINARY_DIR}/paquete/man/${programa}.1)
    install(FILES ${CMAKE_BINARY_DIR}/paquete/man/${programa}.1.gz DESTINATION share/man/man1)
endforeach()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME bascora)
set(CPACK_PACKAGE_VENDOR "Bascora")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${BASCORA_MANTENEDOR})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
# Not the builder's umask: directories in a package are 755.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${BASCORA_MANTENEDOR})
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "companion program of an industrial weighing indicator")
# The synopsis line comes from the summary; CPack indents these lines and marks the empty one.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Bascora talks to one weighing indicator over a serial line or TCP (Modbus
RTU frames). It downloads the stored weighings into a database, a workbook
and a text file, keeps product codes, recipes and ticket layouts, shows the
live weight and reports on the stored weighings.

The package holds the desktop program, the command-line tool bascora-cli,
the indicator simulator bascora-simulador and the service bascora-auto@USER
that runs the scheduled download for one operator.")
# dpkg-shlibdeps gives the libraries; plugins and translations are loaded at run time.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6sql6-sqlite, libqt6svg6, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libqt6sql6-psql")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
    ${DIR_PAQUETE}/postinst ${DIR_PAQUETE}/prerm ${DIR_PAQUETE}/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
