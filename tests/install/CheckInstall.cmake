# cmake -DBUILD_DIR=... -DPREFIX=... -DLIBDIR=... -DBINDIR=... -DINCLUDEDIR=... -P CheckInstall.cmake
# Installs the build into PREFIX (emptied first) and checks what a user of the installed tree meets.

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
foreach(file "${LIBDIR}/libQAcSemaf.so" "${INCLUDEDIR}/QAcSemafApi.h")
  if(NOT EXISTS "${PREFIX}/${file}")
    fail("${file} is not installed")
  endif()
endforeach()

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
message(STATUS "tst_install: ${PREFIX} holds the library, its header, the programs and the viewer's links")
