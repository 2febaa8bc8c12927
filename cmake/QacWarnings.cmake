# qac_link_warnings_everywhere(<interface target>): links the warnings target into every library
# and program the project's folders define (a folder added later is covered without a line of
# its own). Imported, interface and custom targets compile nothing and are skipped.
function(qac_collect_targets dir out)
  get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(sub ${subdirs})
    qac_collect_targets(${sub} sub_targets)
    list(APPEND targets ${sub_targets})
  endforeach()
  set(${out} ${targets} PARENT_SCOPE)
endfunction()

function(qac_link_warnings_everywhere warnings)
  qac_collect_targets(${PROJECT_SOURCE_DIR} targets)
  foreach(target ${targets})
    get_target_property(type ${target} TYPE)
    if(type MATCHES "^(STATIC_LIBRARY|SHARED_LIBRARY|MODULE_LIBRARY|OBJECT_LIBRARY|EXECUTABLE)$")
      target_link_libraries(${target} PRIVATE ${warnings})
    endif()
  endforeach()
endfunction()
