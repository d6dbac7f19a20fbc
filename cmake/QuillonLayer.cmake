# SPDX-License-Identifier: GPL-3.0-or-later
# quillon_layer(NAME BELOW folder...) makes src/NAME a library that sees
# only its own headers and those of the folders below it: each library
# gets a view of src holding just those folders, so an include that runs
# upwards does not build. Its sources are every .cpp under src/NAME.
function(quillon_layer name)
  cmake_parse_arguments(LAYER "" "" "BELOW" ${ARGN})
  set(view ${CMAKE_BINARY_DIR}/layers/${name})
  file(REMOVE_RECURSE ${view})
  file(MAKE_DIRECTORY ${view})
  foreach(folder ${name} ${LAYER_BELOW})
    file(CREATE_LINK ${PROJECT_SOURCE_DIR}/src/${folder} ${view}/${folder} SYMBOLIC)
  endforeach()
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/${name}/*.cpp)
  add_library(quillon_${name} STATIC ${sources})
  # Private: a library's users do not inherit its view of src.
  target_include_directories(quillon_${name} PRIVATE ${view})
  # Debug information and coverage name the files in src, not in the view.
  target_compile_options(quillon_${name} PRIVATE -ffile-prefix-map=${view}=${PROJECT_SOURCE_DIR}/src)
  foreach(folder ${LAYER_BELOW})
    target_link_libraries(quillon_${name} PUBLIC quillon_${folder})
  endforeach()
endfunction()
