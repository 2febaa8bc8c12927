# qac_add_test(<name> SOURCES <files...> [LIBS <targets...>] [ENVIRONMENT <VAR=value...>])
# Builds one QTest program and registers it with CTest on the offscreen platform.
function(qac_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;ENVIRONMENT" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE Qt6::Test ${ARG_LIBS})
  # The program's own code is checks, not work: unoptimised, it compiles a third quicker.
  target_compile_options(${name} PRIVATE -O0)
  add_test(NAME ${name} COMMAND ${name})
  # The demo's users have the password ADMIN; the command line takes it from the environment
  # when a test runs it without one (the tests of the password sources clear it themselves).
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QACSEMAF_BUILD_DIR=${CMAKE_BINARY_DIR};QACSEMAF_PASSWORD=ADMIN;${ARG_ENVIRONMENT}"
    TIMEOUT 300)
endfunction()

# qac_add_subfolders(): adds every folder below the current one that has a CMakeLists.txt
# (tests and benchmarks keep one folder per layer).
function(qac_add_subfolders)
  file(GLOB folders LIST_DIRECTORIES true ${CMAKE_CURRENT_SOURCE_DIR}/*)
  foreach(dir ${folders})
    if(IS_DIRECTORY ${dir} AND EXISTS ${dir}/CMakeLists.txt)
      add_subdirectory(${dir})
    endif()
  endforeach()
endfunction()
