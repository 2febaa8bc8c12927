# cmake --install build --prefix DIR: the module library, its header for hosts, the host program,
# the command line and its window program, the application server, and the record viewer with the
# links named after the suite's program codes that the drill-down starts it under (next to the
# host and the command line, as in the build folder).
install(TARGETS QAcSemaf LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(FILES src/entry/QAcSemafApi.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(TARGETS qacsemaf-host qacsemaf qacsemaf-window qacsemaf-server qacsemaf-viewer
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
get_directory_property(viewer_program_codes DIRECTORY tools/viewer DEFINITION viewer_program_codes)
foreach(code ${viewer_program_codes})
  # Relative, so that the installed tree can be moved or copied whole; DESTDIR is honoured.
  install(CODE "
    set(link \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/${code}\")
    message(STATUS \"Installing: \${link} -> qacsemaf-viewer\")
    file(CREATE_LINK qacsemaf-viewer \"\${link}\" SYMBOLIC)
  ")
endforeach()
