# SPDX-License-Identifier: GPL-3.0-or-later
# The layering of the logic library, enforced by include paths and a check.
#
# Every library includes headers as "<folder>/<name>.h". Its include path holds
# a view folder in the build tree with a link to its own source folder only;
# the folders of the libraries it uses arrive through them, carried by
# target_link_libraries: PUBLIC where the library's own headers include the
# used folder's (its users need them to compile), PRIVATE otherwise, so a
# folder reaches no further than the libraries that list it. A folder that
# arrives through a public header but is not listed is refused by
# orvane_check_layer_includes when the build is configured.

include(${CMAKE_CURRENT_LIST_DIR}/OrvaneLayerCheck.cmake)

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

# Links `target` (the library of src/<folder>) to the libraries of the folders
# in `uses`, each PUBLIC or PRIVATE as the folder's headers need it.
function(orvane_link_layers target folder)
  file(GLOB headers ${PROJECT_SOURCE_DIR}/src/${folder}/*.h)
  set(header_text "")
  foreach(header ${headers})
    file(READ ${header} text)
    string(APPEND header_text "${text}")
  endforeach()
  foreach(used ${ARGN})
    if(header_text MATCHES "#include \"${used}/")
      target_link_libraries(${target} PUBLIC orvane_${used})
    else()
      target_link_libraries(${target} PRIVATE orvane_${used})
    endif()
  endforeach()
endfunction()

# orvane_logic_library(<folder> [USES <folder>...]): the static library
# orvane_<folder> from src/<folder>, using the libraries of the folders named.
function(orvane_logic_library folder)
  cmake_parse_arguments(LAYER "" "" "USES" ${ARGN})
  orvane_check_layer_includes(${folder} ${PROJECT_SOURCE_DIR}/src/${folder} "${LAYER_USES}")
  file(GLOB sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/${folder}/*.cpp
                                      ${PROJECT_SOURCE_DIR}/src/${folder}/*.h)
  add_library(orvane_${folder} STATIC ${sources})
  orvane_layer_view(${folder} view)
  target_include_directories(orvane_${folder} PUBLIC ${view})
  orvane_link_layers(orvane_${folder} ${folder} ${LAYER_USES})
  target_link_libraries(orvane_${folder} PRIVATE orvane_warnings)
endfunction()

# orvane_top_layer(<target> <folder> [USES <folder>...] [SEES <folder>...]):
# a target on top of the logic (the picture reader, the window, the command
# line) sees its own folder's headers through a view too, and links the
# libraries of the folders it uses. SEES names folders whose headers it
# includes without linking their library here (the picture reader's header
# where the reader is a loadable module).
function(orvane_top_layer target folder)
  cmake_parse_arguments(LAYER "" "" "USES;SEES" ${ARGN})
  set(listed ${LAYER_USES} ${LAYER_SEES})
  orvane_check_layer_includes(${folder} ${PROJECT_SOURCE_DIR}/src/${folder} "${listed}")
  orvane_layer_view(${folder} view)
  target_include_directories(${target} PUBLIC ${view})
  orvane_link_layers(${target} ${folder} ${LAYER_USES})
endfunction()
