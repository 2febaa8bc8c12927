# cpack -G DEB (in the build folder): a Debian package of what cmake --install puts under /usr.
# Its library dependencies are read from the programs by dpkg-shlibdeps; the Qt plugins the
# programs load at run time (the SQL drivers) are named here, since no linker sees them.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME qacsemaf)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Semáforo de Carrera")
set(CPACK_PACKAGE_CONTACT "Semáforo de Carrera <semaforo@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "career traffic-light module of the human-resources suite")
# CPack puts the summary first and indents the lines as Debian's control file wants them.
set(CPACK_PACKAGE_DESCRIPTION "HR analysts keep career plans (trees of job positions), score the
employees one level below a chosen position against that position's
requirement profile, see them in a green, yellow and red grid and print the
list and a per-employee competence report.

The package holds the module library, the host program (with a per-user demo
database), the command line, the record viewer and the application server
with its systemd unit.")
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6sql6-sqlite, libqt6sql6-psql, adduser")
# The report layouts' Arial is matched by Liberation Sans; DejaVu is the fallback of the rest.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-dejavu-core, fonts-liberation2")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
# The library lies in a private folder, out of ldconfig's reach, so no ldconfig trigger.
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${PROJECT_SOURCE_DIR}/packaging/debian/postinst
  ${PROJECT_SOURCE_DIR}/packaging/debian/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
