# The walls between the layers. Includes name their layer ("engine/X.h"), so a folder that holds
# all of src/ would show every layer's headers to every target. Instead each target shows its own
# folder alone: a folder of the build tree holds one link, named as includes name the layer, to
# that layer's sources. A target sees another layer's headers only by linking it, and links only
# the layers below it; tests/layers checks the includes themselves against the table of layers.

# qac_include_folder(<out-var> <name> [FROM <dir>] [EXCLUDE <entries>... | ONLY <entries>...]
#                    [FOLDER <folder>])
# Makes <build>/include/<folder>/<name> show <dir> (the current source folder unless given) and
# sets <out-var> to the folder to add to an include path (<folder>: <name> with "_" for "/"). The
# entries of <dir> listed in EXCLUDE (the folders of other targets inside it) stay out: the others
# are linked one by one, and a header added to <dir> brings CMake back to link it. With ONLY,
# those entries alone are shown.
function(qac_include_folder out name)
  cmake_parse_arguments(ARG "" "FROM;FOLDER" "EXCLUDE;ONLY" ${ARGN})
  if(NOT ARG_FROM)
    set(ARG_FROM ${CMAKE_CURRENT_SOURCE_DIR})
  endif()
  if(ARG_FOLDER)
    set(folder ${ARG_FOLDER})
  else()
    string(REPLACE "/" "_" folder ${name})
  endif()
  set(root ${CMAKE_BINARY_DIR}/include/${folder})
  # The links are made afresh: removing them leaves what they point at alone.
  file(REMOVE_RECURSE ${root})
  get_filename_component(parent ${root}/${name} DIRECTORY)
  file(MAKE_DIRECTORY ${parent})
  if(NOT ARG_EXCLUDE AND NOT ARG_ONLY)
    file(CREATE_LINK ${ARG_FROM} ${root}/${name} SYMBOLIC)
    set(${out} ${root} PARENT_SCOPE)
    return()
  endif()
  set(entries ${ARG_ONLY})
  if(ARG_EXCLUDE)
    # Its folders and headers: what an include can name.
    file(GLOB found LIST_DIRECTORIES true RELATIVE ${ARG_FROM} CONFIGURE_DEPENDS ${ARG_FROM}/*)
    foreach(entry ${found})
      if(NOT entry IN_LIST ARG_EXCLUDE AND (IS_DIRECTORY ${ARG_FROM}/${entry} OR entry MATCHES "\\.h$"))
        list(APPEND entries ${entry})
      endif()
    endforeach()
  endif()
  file(MAKE_DIRECTORY ${root}/${name})
  foreach(entry ${entries})
    file(CREATE_LINK ${ARG_FROM}/${entry} ${root}/${name}/${entry} SYMBOLIC)
  endforeach()
  set(${out} ${root} PARENT_SCOPE)
endfunction()

# qac_include_root(<target> <name> [FROM <dir>] [EXCLUDE <entries>... | ONLY <entries>...] [FOLDER <folder>])
# The target's own headers, as "<name>/X.h": for those that link it too (a library), or for its
# own sources alone (a program).
function(qac_include_root target name)
  qac_include_folder(root ${name} ${ARGN})
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "INTERFACE_LIBRARY")
    set(scope INTERFACE)
  elseif(type STREQUAL "EXECUTABLE")
    set(scope PRIVATE)
  else()
    set(scope PUBLIC)
  endif()
  target_include_directories(${target} ${scope} $<BUILD_INTERFACE:${root}>)
endfunction()
