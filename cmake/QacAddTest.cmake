# qac_add_test(<name> SOURCES <files...> [LIBS <targets...>] [ENVIRONMENT <VAR=value...>])
# Builds one QTest program and registers it with CTest on the offscreen platform.
function(qac_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;ENVIRONMENT" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE Qt6::Test ${ARG_LIBS})
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QACSEMAF_BUILD_DIR=${CMAKE_BINARY_DIR};${ARG_ENVIRONMENT}"
    TIMEOUT 300)
endfunction()
