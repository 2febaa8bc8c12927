# cmake --install build --prefix DIR: the module library, its header for hosts, the host program,
# the command line and its window program, the application server, and the record viewer with the
# links named after the suite's program codes that the drill-down starts it under (next to the
# host and the command line, as in the build folder).
# The library goes in a folder of its own (QACSEMAF_INSTALL_LIBRARYDIR), where the installed host
# looks for it: it has no SONAME, and no program links it.
install(TARGETS QAcSemaf LIBRARY DESTINATION ${QACSEMAF_INSTALL_LIBRARYDIR})
install(FILES src/entry/QAcSemafApi.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(TARGETS qacsemaf-host qacsemaf qacsemaf-window qacsemaf-server qacsemaf-viewer
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
get_directory_property(viewer_program_codes DIRECTORY tools/viewer DEFINITION viewer_program_codes)
# qac_install_link(<folder> <name> <target>): a relative link, so that the installed tree can be
# moved or copied whole; DESTDIR is honoured.
function(qac_install_link folder name target)
  install(CODE "
    set(link \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${folder}/${name}\")
    message(STATUS \"Installing: \${link} -> ${target}\")
    file(CREATE_LINK ${target} \"\${link}\" SYMBOLIC)
  ")
endfunction()
foreach(code ${viewer_program_codes})
  qac_install_link(${CMAKE_INSTALL_BINDIR} ${code} qacsemaf-viewer)
endforeach()

# What a site installs around the programs. The schema, the statement catalogue and the report
# layouts are compiled into the programs, so nothing is read from a data folder at run time;
# files the programs come to read from disk go under ${QACSEMAF_INSTALL_DATADIR}.
set(QACSEMAF_INSTALL_DATADIR ${CMAKE_INSTALL_DATADIR}/qacsemaf)
set(QACSEMAF_INSTALL_EXAMPLESDIR ${CMAKE_INSTALL_DATAROOTDIR}/doc/qacsemaf/examples)

# The desktop entry names the host, and the service unit the server, by absolute path: both are
# written while installing, for the prefix installed to (--prefix, DESTDIR and CPack's /usr).
function(qac_install_configured template destination)
  install(CODE "
    set(QACSEMAF_FULL_BINDIR \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
    set(QACSEMAF_EXAMPLES_DIR \"\${CMAKE_INSTALL_PREFIX}/${QACSEMAF_INSTALL_EXAMPLESDIR}\")
    set(file \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${destination}\")
    message(STATUS \"Installing: \${file}\")
    configure_file(\"${PROJECT_SOURCE_DIR}/${template}\" \"\${file}\" @ONLY)
    list(APPEND CMAKE_INSTALL_MANIFEST_FILES \"\${file}\")
  ")
endfunction()

qac_install_configured(packaging/qacsemaf.desktop.in ${CMAKE_INSTALL_DATADIR}/applications/qacsemaf.desktop)
install(FILES packaging/qacsemaf.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${PROJECT_BINARY_DIR}/packaging/qacsemaf.png
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${QACSEMAF_ICON_PNG_SIZE}x${QACSEMAF_ICON_PNG_SIZE}/apps)
install(FILES ${QACSEMAF_MANUAL_PAGES} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
# The viewer's links have its page, and the window program, which runs the command line's
# commands, the command line's.
foreach(code ${viewer_program_codes})
  qac_install_link(${CMAKE_INSTALL_MANDIR}/man1 ${code}.1.gz qacsemaf-viewer.1.gz)
endforeach()
qac_install_link(${CMAKE_INSTALL_MANDIR}/man1 qacsemaf-window.1.gz qacsemaf.1.gz)
# systemd looks in lib/ under /usr and /usr/local, never in a multiarch folder.
qac_install_configured(packaging/qacsemaf-server.service.in lib/systemd/system/qacsemaf-server.service)
install(FILES packaging/server.ini packaging/client.ini DESTINATION ${QACSEMAF_INSTALL_EXAMPLESDIR})
# The package's copyright (machine-readable) and its changelog, compressed by the build.
install(FILES packaging/debian/copyright ${QACSEMAF_CHANGELOG_GZ}
  DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/qacsemaf)
