# SPDX-License-Identifier: GPL-3.0-or-later
# A folder's sources include headers only from itself and from the folders its
# library lists. Include paths alone cannot tell: a folder that another
# library's public headers need is on the path of everything above it.
#
# Also runs as a script, for the build's own tests:
#   cmake -DFOLDER=app -DSOURCES=<dir> "-DUSES=workflow;display" -P OrvaneLayerCheck.cmake

set(ORVANE_LAYER_FOLDERS shell previews display replace convert workflow qtimage app cli)

# Stops with an error naming the file and the folder when a source in `dir`
# includes a header of a layer folder that is neither `folder` nor in `uses`.
function(orvane_check_layer_includes folder dir uses)
  file(GLOB files ${dir}/*.cpp ${dir}/*.h)
  foreach(file ${files})
    file(STRINGS ${file} includes REGEX "^[ \t]*#[ \t]*include[ \t]+\"[a-z_]+/")
    foreach(line ${includes})
      string(REGEX REPLACE ".*\"([a-z_]+)/.*" "\\1" included "${line}")
      list(FIND ORVANE_LAYER_FOLDERS "${included}" layer)
      list(FIND uses "${included}" listed)
      if(included STREQUAL folder OR layer EQUAL -1 OR NOT listed EQUAL -1)
        continue()
      endif()
      get_filename_component(name ${file} NAME)
      message(FATAL_ERROR "${folder}/${name} includes ${included}/, which ${folder} does not list: "
                          "add it to the folders ${folder} uses (CMakeLists.txt) and to docs/architecture.md, "
                          "or leave the include out.")
    endforeach()
  endforeach()
endfunction()

if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
  orvane_check_layer_includes(${FOLDER} ${SOURCES} "${USES}")
endif()
