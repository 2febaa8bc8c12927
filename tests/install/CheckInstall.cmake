# cmake -DBUILD_DIR=... -DPREFIX=... -DLIBDIR=... -DBINDIR=... -DINCLUDEDIR=... -DDATADIR=... -DMANDIR=...
#       -DVERSION=... -DSERVER_CHECK=check-server.sh -P CheckInstall.cmake
# Installs the build into PREFIX (emptied first) and checks what a user of the installed tree meets
# and what a site installs around it: desktop entry, icons, manual pages, service unit, example;
# then builds the Debian package and runs lintian on it.

function(fail)
  string(JOIN "" text ${ARGN})
  message(FATAL_ERROR "tst_install: ${text}")
endfunction()

file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}"
  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0)
  fail("cmake --install ended with ${result}:\n${output}")
endif()

set(bin "${PREFIX}/${BINDIR}")
foreach(file "${LIBDIR}/qacsemaf/libQAcSemaf.so" "${INCLUDEDIR}/QAcSemafApi.h")
  if(NOT EXISTS "${PREFIX}/${file}")
    fail("${file} is not installed")
  endif()
endforeach()
# The library has no SONAME: it stays out of the linker's folder, in one of its own, where the
# installed host finds it (the host's starts below load it).
file(GLOB public_libraries "${PREFIX}/${LIBDIR}/*.so*")
if(public_libraries)
  fail("libraries in ${LIBDIR} itself, not in ${LIBDIR}/qacsemaf: ${public_libraries}")
endif()

# run(<program> <expected text in the output> <arguments...>): exits 0 and says the text.
function(run program expected)
  if(NOT EXISTS "${bin}/${program}")
    fail("${BINDIR}/${program} is not installed")
  endif()
  execute_process(COMMAND "${bin}/${program}" ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE output
    ERROR_VARIABLE errors TIMEOUT 30)
  if(NOT result EQUAL 0)
    fail("${program} ${ARGN} ended with ${result}:\n${output}${errors}")
  endif()
  string(FIND "${output}" "${expected}" at)
  if(at EQUAL -1)
    fail("${program} ${ARGN} does not say \"${expected}\":\n${output}")
  endif()
endfunction()

# The command line speaks Spanish by default and English where the locale asks for it, from the
# catalogue built into the installed programs.
set(ENV{LANG} C.UTF-8)
unset(ENV{LC_ALL})
unset(ENV{LC_MESSAGES})
run(qacsemaf "Uso: qacsemaf <comando>" --help)
run(qacsemaf-window "Uso: qacsemaf <comando>" --help)
set(ENV{LANG} en_US.UTF-8)
run(qacsemaf "Usage: qacsemaf <command>" --help)
run(qacsemaf "Usage: qacsemaf screenshot [options]" screenshot --help)
set(ENV{LANG} C.UTF-8)
run(qacsemaf-host "--library" --help)
run(qacsemaf-server "--listen" --help)
run(qacsemaf-viewer "QBiCargo" --help)
# The installed command line hands the window's roads to the installed window program.
run(qacsemaf "--page" screenshot --help)

# The links the drill-down starts the viewer under: relative, next to it, and working.
foreach(code QBiHvext QBiEdfor QBiEdnfo QBiCargo)
  if(NOT IS_SYMLINK "${bin}/${code}")
    fail("${BINDIR}/${code} is not a link")
  endif()
  file(READ_SYMLINK "${bin}/${code}" target)
  if(NOT target STREQUAL "qacsemaf-viewer")
    fail("${BINDIR}/${code} points to ${target}, not qacsemaf-viewer")
  endif()
  run(${code} "Uso: ${bin}/${code}" --help)
endforeach()

# The command line needs no widgets; its window program does.
file(GET_RUNTIME_DEPENDENCIES
  EXECUTABLES "${bin}/qacsemaf" "${bin}/qacsemaf-window"
  RESOLVED_DEPENDENCIES_VAR ignored UNRESOLVED_DEPENDENCIES_VAR unresolved)
if(unresolved)
  fail("unresolved libraries: ${unresolved}")
endif()
foreach(program qacsemaf qacsemaf-window)
  file(GET_RUNTIME_DEPENDENCIES EXECUTABLES "${bin}/${program}" RESOLVED_DEPENDENCIES_VAR libraries_${program})
  list(FILTER libraries_${program} INCLUDE REGEX "libQt6")
  string(REGEX MATCH "libQt6Widgets" widgets_${program} "${libraries_${program}}")
endforeach()
if(NOT libraries_qacsemaf MATCHES "libQt6Core")
  fail("the libraries of qacsemaf were not read: ${libraries_qacsemaf}")
endif()
if(widgets_qacsemaf)
  fail("qacsemaf links QtWidgets: ${libraries_qacsemaf}")
endif()
if(NOT widgets_qacsemaf-window)
  fail("qacsemaf-window does not link QtWidgets: ${libraries_qacsemaf-window}")
endif()

# The desktop entry passes the validator and starts the installed host.
set(share "${PREFIX}/${DATADIR}")
foreach(file applications/qacsemaf.desktop icons/hicolor/scalable/apps/qacsemaf.svg
        icons/hicolor/64x64/apps/qacsemaf.png doc/qacsemaf/examples/server.ini
        doc/qacsemaf/examples/client.ini)
  if(NOT EXISTS "${share}/${file}")
    fail("${DATADIR}/${file} is not installed")
  endif()
endforeach()
set(desktop "${share}/applications/qacsemaf.desktop")
execute_process(COMMAND desktop-file-validate "${desktop}" RESULT_VARIABLE result OUTPUT_VARIABLE output
  ERROR_VARIABLE output)
if(NOT result EQUAL 0 OR output)
  fail("desktop-file-validate refuses the desktop entry (${result}):\n${output}")
endif()
file(STRINGS "${desktop}" exec REGEX "^Exec=")
if(NOT exec STREQUAL "Exec=${bin}/qacsemaf-host")
  fail("the desktop entry starts \"${exec}\", not ${bin}/qacsemaf-host")
endif()
file(READ "${share}/icons/hicolor/64x64/apps/qacsemaf.png" png HEX LIMIT 24)
if(NOT png MATCHES "^89504e470d0a1a0a0000000d4948445200000040" OR NOT png MATCHES "00000040$")
  fail("the PNG icon is not a 64 by 64 PNG: ${png}")
endif()

# The unit starts the installed server with the site's configuration, and systemd reads it.
set(unit "${PREFIX}/lib/systemd/system/qacsemaf-server.service")
if(NOT EXISTS "${unit}")
  fail("lib/systemd/system/qacsemaf-server.service is not installed")
endif()
file(STRINGS "${unit}" exec_start REGEX "^ExecStart=")
if(NOT exec_start STREQUAL "ExecStart=${bin}/qacsemaf-server --config /etc/qacsemaf/server.ini")
  fail("the unit starts \"${exec_start}\"")
endif()
# systemd makes /var/lib/qacsemaf, the folder of an SQLite database, for the service's user.
file(STRINGS "${unit}" state_directory REGEX "^StateDirectory=")
file(STRINGS "${unit}" unit_user REGEX "^User=")
if(NOT state_directory STREQUAL "StateDirectory=qacsemaf" OR NOT unit_user STREQUAL "User=qacsemaf")
  fail("the unit has \"${state_directory}\" and \"${unit_user}\", not StateDirectory=qacsemaf and User=qacsemaf")
endif()
find_program(systemd_analyze systemd-analyze)
if(systemd_analyze)
  # The unit's user need not exist here, nor the machine run systemd; what is checked is the file.
  # A key it does not know or a value it cannot read is only reported, so any report fails.
  execute_process(COMMAND "${systemd_analyze}" verify --man=no "${unit}" RESULT_VARIABLE result
    OUTPUT_VARIABLE output ERROR_VARIABLE output)
  if(NOT result EQUAL 0 OR output)
    fail("systemd-analyze verify refuses the unit (${result}):\n${output}")
  endif()
endif()

# The licence in Debian's machine-readable format, and the changelog, compressed, of this version.
set(doc "${share}/doc/qacsemaf")
file(STRINGS "${doc}/copyright" copyright_format LIMIT_COUNT 1)
file(STRINGS "${doc}/copyright" copyright_licence REGEX "^License: ")
if(NOT copyright_format STREQUAL "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/"
   OR NOT copyright_licence)
  fail("${DATADIR}/doc/qacsemaf/copyright is not in the machine-readable format: ${copyright_format}")
endif()
execute_process(COMMAND gzip -dc "${doc}/changelog.gz" RESULT_VARIABLE result OUTPUT_VARIABLE changelog
  ERROR_VARIABLE errors)
if(NOT result EQUAL 0 OR NOT changelog MATCHES "^qacsemaf \\(${VERSION}\\) ")
  fail("${DATADIR}/doc/qacsemaf/changelog.gz (${result}${errors}) does not start with version ${VERSION}:\n${changelog}")
endif()

# The viewer's links and the window program are documented by the pages of what they run.
foreach(link QBiHvext:qacsemaf-viewer QBiEdfor:qacsemaf-viewer QBiEdnfo:qacsemaf-viewer QBiCargo:qacsemaf-viewer
        qacsemaf-window:qacsemaf)
  string(REPLACE ":" ";" link "${link}")
  list(GET link 0 name)
  list(GET link 1 page)
  set(file "${PREFIX}/${MANDIR}/man1/${name}.1.gz")
  if(IS_SYMLINK "${file}")
    file(READ_SYMLINK "${file}" target)
  endif()
  if(NOT IS_SYMLINK "${file}" OR NOT target STREQUAL "${page}.1.gz" OR NOT EXISTS "${file}")
    fail("${MANDIR}/man1/${name}.1.gz is no link to ${page}.1.gz")
  endif()
endforeach()

# options_of(<variable> <text>): the long options a help names.
function(options_of variable text)
  string(REGEX MATCHALL "--[a-z][a-z-]*[a-z]" options "${text}")
  list(REMOVE_DUPLICATES options)
  set(${variable} ${options} PARENT_SCOPE)
endfunction()

# Each manual page renders in a UTF-8 locale, keeps its accented letters (help2man in the C locale
# writes "Semáforo" as "Sem??foro") and names every option the program's own --help lists.
foreach(program qacsemaf qacsemaf-server qacsemaf-host qacsemaf-viewer)
  set(page "${PREFIX}/${MANDIR}/man1/${program}.1.gz")
  if(NOT EXISTS "${page}")
    fail("${MANDIR}/man1/${program}.1.gz is not installed")
  endif()
  execute_process(COMMAND gzip -dc "${page}" OUTPUT_VARIABLE source)
  execute_process(COMMAND "${CMAKE_COMMAND}" -E env LC_ALL=C.UTF-8 MANWIDTH=200 MANPAGER=cat
                  man --no-hyphenation --no-justification -l "${page}"
    RESULT_VARIABLE result OUTPUT_VARIABLE manual ERROR_VARIABLE errors)
  if(NOT result EQUAL 0 OR errors OR NOT manual MATCHES "NAME.*${program} - .*SYNOPSIS|NAME.*${program} - .*DESCRIPTION")
    fail("man -l ${page} ended with ${result}:\n${errors}${manual}")
  endif()
  if(NOT manual MATCHES "Semáforo de Carrera" OR manual MATCHES "\\?\\?" OR source MATCHES "\\?\\?")
    fail("the manual page of ${program} is not in UTF-8 (no \"Semáforo de Carrera\", or \"??\"):\n${manual}")
  endif()
  set(manual_${program} "${manual}")
  execute_process(COMMAND "${bin}/${program}" --help OUTPUT_VARIABLE help ERROR_VARIABLE help TIMEOUT 30)
  options_of(options "${help}")
  if(NOT options)
    fail("${program} --help names no option:\n${help}")
  endif()
  foreach(option ${options})
    string(FIND "${manual}" "${option}" at)
    if(at EQUAL -1)
      fail("the manual page of ${program} does not name ${option}")
    endif()
  endforeach()
endforeach()

# The command line's page has a section per command, per kind of report and per action of user,
# headed "qacsemaf <command>:", that names every option of that command's own --help: an option
# named in another command's section does not count.
execute_process(COMMAND "${bin}/qacsemaf" --help OUTPUT_VARIABLE help)
string(REGEX MATCHALL "\n  [a-z][a-z-]*  " listed "${help}")
list(TRANSFORM listed STRIP)
if(NOT listed MATCHES "user")
  fail("qacsemaf --help lists no command user:\n${help}")
endif()
foreach(command ${listed})
  if(NOT manual_qacsemaf MATCHES "\n +qacsemaf ${command}[a-z -]*:\n")
    fail("the manual page of qacsemaf has no section for its command ${command}")
  endif()
endforeach()
# The sections, from the helps themselves: a command's own, or one per kind its usage line names
# ("report list|competence"), or one per action its help lists under "Acciones:".
set(sections)
foreach(command ${listed})
  execute_process(COMMAND "${bin}/qacsemaf" ${command} --help OUTPUT_VARIABLE command_help ERROR_QUIET TIMEOUT 30)
  if(command_help MATCHES "Uso: qacsemaf ${command} ([a-z-]+(\\|[a-z-]+)+)")
    string(REPLACE "|" ";" kinds "${CMAKE_MATCH_1}")
    list(TRANSFORM kinds PREPEND "${command} ")
    list(APPEND sections ${kinds})
  elseif(command_help MATCHES "\nAcciones:\n(  [^\n]*\n)+")
    string(REGEX MATCHALL "\n  [a-z][a-z-]*" actions "${CMAKE_MATCH_0}")
    list(TRANSFORM actions STRIP)
    list(TRANSFORM actions PREPEND "${command} ")
    list(APPEND sections ${actions})
  else()
    list(APPEND sections "${command}")
  endif()
endforeach()
foreach(expected backup restore "report competence" "user add" "user list")
  list(FIND sections "${expected}" at)
  if(at EQUAL -1)
    fail("the helps of qacsemaf give no section \"qacsemaf ${expected}:\" (found: ${sections})")
  endif()
endforeach()
foreach(command ${sections})
  separate_arguments(arguments UNIX_COMMAND "${command}")
  execute_process(COMMAND "${bin}/qacsemaf" ${arguments} --help RESULT_VARIABLE result OUTPUT_VARIABLE command_help
    ERROR_VARIABLE command_help TIMEOUT 30)
  options_of(options "${command_help}")
  list(REMOVE_ITEM options --help)
  if(NOT result EQUAL 0 OR NOT options)
    fail("qacsemaf ${command} --help ended with ${result} and names no option:\n${command_help}")
  endif()
  string(REGEX MATCH "\n +qacsemaf ${command}:\n" heading "${manual_qacsemaf}")
  if(NOT heading)
    fail("the manual page of qacsemaf has no section \"qacsemaf ${command}:\"")
  endif()
  string(FIND "${manual_qacsemaf}" "${heading}" at)
  string(LENGTH "${heading}" length)
  math(EXPR at "${at} + ${length}")
  string(SUBSTRING "${manual_qacsemaf}" ${at} -1 section)
  string(REGEX MATCH "\n +qacsemaf [a-z -]+:\n" next "${section}")
  if(next)
    string(FIND "${section}" "${next}" end)
    string(SUBSTRING "${section}" 0 ${end} section)
  endif()
  foreach(option ${options})
    string(FIND "${section}" "${option}" found)
    if(found EQUAL -1)
      fail("the manual page's section \"qacsemaf ${command}:\" does not name ${option}:\n${section}")
    endif()
  endforeach()
endforeach()

# The example configuration names options of the server only (commented ones included), and the
# server accepts it as it stands.
file(STRINGS "${share}/doc/qacsemaf/examples/server.ini" example_keys REGEX "^;?[a-z-]+=")
list(TRANSFORM example_keys REPLACE "^;?([a-z-]+)=.*" "\\1")
execute_process(COMMAND "${bin}/qacsemaf-server" --help OUTPUT_VARIABLE server_help)
foreach(key ${example_keys})
  if(NOT server_help MATCHES "--${key}[ ,<]")
    fail("the example configuration's key ${key} is no option of qacsemaf-server")
  endif()
endforeach()

# Started without a database and without a client configuration, the installed host makes the
# user's demo in the user's data folder, opens it and says so; the next start opens the same file
# again. With the example client configuration it starts with the login window on its server.
set(home "${PREFIX}/home")
set(demo "${home}/data/qacsemaf/demo.db")
function(run_host expected)
  set(config "${home}/no-client.ini")
  if(ARGN)
    set(config "${ARGN}")
  endif()
  execute_process(COMMAND "${CMAKE_COMMAND}" -E env --unset=QACSEMAF_DB "HOME=${home}" "XDG_DATA_HOME=${home}/data"
                  "XDG_CONFIG_HOME=${home}/config" "QACSEMAF_CLIENT_CONFIG=${config}"
                  QT_QPA_PLATFORM=offscreen "${bin}/qacsemaf-host" --quit-after 500
    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output TIMEOUT 120)
  if(NOT result EQUAL 0 OR NOT output MATCHES "${expected}")
    fail("qacsemaf-host without arguments ended with ${result}, not saying \"${expected}\":\n${output}")
  endif()
endfunction()
run_host("Base de demostración creada y abierta: ${demo}")
if(NOT EXISTS "${demo}")
  fail("the host made no demo database at ${demo}")
endif()
file(TIMESTAMP "${demo}" made "%s")
run_host("Base de demostración: ${demo}")
file(TIMESTAMP "${demo}" opened "%s")
if(NOT made STREQUAL opened)
  fail("the second start of the host made the demo database again")
endif()
run_host("inicio de sesión en https://rrhh-app:8443" "${share}/doc/qacsemaf/examples/client.ini")

# A host without the command line beside it cannot make the demo, says so and makes nothing.
file(COPY "${bin}/qacsemaf-host" DESTINATION "${PREFIX}/alone")
execute_process(COMMAND "${CMAKE_COMMAND}" -E env --unset=QACSEMAF_DB "HOME=${home}" "XDG_DATA_HOME=${home}/alone"
                QT_QPA_PLATFORM=offscreen "${PREFIX}/alone/qacsemaf-host" --quit-after 500
  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output TIMEOUT 60)
if(NOT result EQUAL 1 OR NOT output MATCHES "No se encontró el programa qacsemaf junto a ${PREFIX}/alone para crear la base de demostración ${home}/alone/qacsemaf/demo.db")
  fail("a host without qacsemaf beside it ended with ${result}:\n${output}")
endif()
if(EXISTS "${home}/alone/qacsemaf")
  fail("a host without qacsemaf beside it left ${home}/alone/qacsemaf")
endif()

# The installed server serves that demo with the example configuration.
execute_process(COMMAND "${bin}/qacsemaf-server" --config "${share}/doc/qacsemaf/examples/server.ini" --db "${demo}"
                --check-config RESULT_VARIABLE result ERROR_VARIABLE output)
if(NOT result EQUAL 0 OR NOT output MATCHES "la configuración es válida: SQLite ${demo}")
  fail("qacsemaf-server --check-config refuses the example configuration (${result}):\n${output}")
endif()
# The README's check of the service's files, run as the service's user (here nobody, whose group
# stands for qacsemaf): a key only root may read passes a check run as root and fails one run as
# that user; owned by root, in that user's group, mode 0640, it passes both.
execute_process(COMMAND id -u OUTPUT_VARIABLE uid OUTPUT_STRIP_TRAILING_WHITESPACE)
find_program(runuser runuser)
find_program(openssl openssl)
if(uid STREQUAL "0" AND runuser AND openssl)
  set(service "${PREFIX}/service")
  file(MAKE_DIRECTORY "${service}")
  file(COPY_FILE "${demo}" "${service}/rrhh.db")
  file(CHMOD "${service}/rrhh.db" PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
  execute_process(COMMAND "${openssl}" req -x509 -newkey rsa:2048 -nodes -days 2 -subj /CN=rrhh-app
                  -keyout "${service}/rrhh-app.key" -out "${service}/rrhh-app.crt"
    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
  if(NOT result EQUAL 0)
    fail("openssl could not make a test certificate:\n${output}")
  endif()
  file(CHMOD "${service}/rrhh-app.key" PERMISSIONS OWNER_READ OWNER_WRITE)
  file(CHMOD "${service}/rrhh-app.crt" PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
  set(check_config "${bin}/qacsemaf-server" --config "${share}/doc/qacsemaf/examples/server.ini"
      --db "${service}/rrhh.db" --tls-cert "${service}/rrhh-app.crt" --tls-key "${service}/rrhh-app.key" --check-config)
  # check_as(<user or root> <expected exit code>)
  function(check_as user expected)
    set(as)
    if(NOT user STREQUAL "root")
      set(as "${runuser}" -u ${user} --)
    endif()
    execute_process(COMMAND ${as} ${check_config} RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
    if((expected EQUAL 0 AND NOT result EQUAL 0) OR (NOT expected EQUAL 0 AND result EQUAL 0))
      fail("qacsemaf-server --check-config as ${user} with the key ${key_mode} ended with ${result}:\n${output}")
    endif()
    if(NOT expected EQUAL 0 AND NOT output MATCHES "rrhh-app.key")
      fail("qacsemaf-server --check-config as ${user} refuses the key ${key_mode} without naming it:\n${output}")
    endif()
  endfunction()
  set(key_mode "root:root 0600")
  check_as(root 0)
  check_as(nobody 1)
  execute_process(COMMAND chgrp nogroup "${service}/rrhh-app.key" RESULT_VARIABLE result)
  file(CHMOD "${service}/rrhh-app.key" PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ)
  set(key_mode "root:nogroup 0640")
  check_as(nobody 0)
else()
  message(STATUS "tst_install: not root, or no runuser or openssl: the check as the service's user is skipped")
endif()

# The Debian package of this build, as scripts/package.sh makes it, passes lintian: an error
# fails, warnings are only shown.
find_program(lintian lintian)
if(NOT lintian)
  fail("lintian is not installed (scripts/install-deps.sh installs it)")
endif()
set(package_dir "${PREFIX}/package")
execute_process(COMMAND "${CMAKE_CPACK_COMMAND}" -G DEB -B "${package_dir}" --config "${BUILD_DIR}/CPackConfig.cmake"
  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output TIMEOUT 240)
file(REMOVE_RECURSE "${package_dir}/_CPack_Packages")
file(GLOB deb "${package_dir}/*.deb")
if(NOT result EQUAL 0 OR NOT deb)
  fail("cpack made no package (${result}):\n${output}")
endif()
execute_process(COMMAND "${lintian}" --fail-on error --tag-display-limit 0 ${deb}
  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output TIMEOUT 240)
if(NOT result EQUAL 0)
  fail("lintian finds errors in ${deb} (${result}):\n${output}")
endif()
message(STATUS "tst_install: lintian on ${deb}:\n${output}")

execute_process(COMMAND bash "${SERVER_CHECK}" "${bin}/qacsemaf-server" "${share}/doc/qacsemaf/examples/server.ini"
                "${demo}" RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output TIMEOUT 60)
if(NOT result EQUAL 0)
  fail("the installed server on the demo database:\n${output}")
endif()
message(STATUS "tst_install: ${PREFIX} holds the library, its header, the programs, the viewer's links, "
  "the desktop entry, icons, manual pages, service unit and example configuration; ${output}")
