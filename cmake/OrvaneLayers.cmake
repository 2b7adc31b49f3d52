# SPDX-License-Identifier: GPL-3.0-or-later
# The layering of the logic library, enforced by include paths.
#
# Every library includes headers as "<folder>/<name>.h". Its include path holds
# a view folder in the build tree with a link to its own source folder only;
# the folders of the libraries it uses arrive through their own views, carried
# by target_link_libraries. A header of any other folder is simply not there.

set(ORVANE_LAYER_VIEWS ${CMAKE_BINARY_DIR}/layers)

# A folder's view: <build>/layers/<folder>/<folder> -> src/<folder>.
function(orvane_layer_view folder out)
  set(view ${ORVANE_LAYER_VIEWS}/${folder})
  file(MAKE_DIRECTORY ${view})
  if(NOT EXISTS ${view}/${folder})
    file(CREATE_LINK ${PROJECT_SOURCE_DIR}/src/${folder} ${view}/${folder} SYMBOLIC COPY_ON_ERROR)
  endif()
  set(${out} ${view} PARENT_SCOPE)
endfunction()

# orvane_logic_library(<folder> [USES <folder>...]): the static library
# orvane_<folder> from src/<folder>, using the libraries of the folders named.
function(orvane_logic_library folder)
  cmake_parse_arguments(LAYER "" "" "USES" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/${folder}/*.cpp
                                      ${PROJECT_SOURCE_DIR}/src/${folder}/*.h)
  add_library(orvane_${folder} STATIC ${sources})
  orvane_layer_view(${folder} view)
  target_include_directories(orvane_${folder} PUBLIC ${view})
  foreach(used ${LAYER_USES})
    target_link_libraries(orvane_${folder} PUBLIC orvane_${used})
  endforeach()
  target_link_libraries(orvane_${folder} PRIVATE orvane_warnings)
endfunction()

# orvane_top_layer(<target> <folder>): a target on top of the logic (the
# window, the command line) sees its own folder's headers through a view too.
function(orvane_top_layer target folder)
  orvane_layer_view(${folder} view)
  target_include_directories(${target} PUBLIC ${view})
endfunction()
