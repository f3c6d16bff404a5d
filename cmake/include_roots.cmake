# Each layer's headers are reached through an include root of its own: a
# folder in the build tree that holds only a link to the layer's folder under
# src/, so that `#include "sim/world.h"` finds src/sim/world.h. A target sees
# a layer's headers only by linking the layer (the root comes with it), so an
# include that runs up the layers, or across to a layer not linked, does not
# compile. tests/layers proves it both ways.

# The include root of the folder src/FOLDER (sim, shell/qt, ...), made if need
# be, in `out`.
function(kelvarin_include_root_of folder out)
  string(REPLACE "/" "_" name ${folder})
  set(root ${PROJECT_BINARY_DIR}/include/${name})
  cmake_path(GET folder PARENT_PATH parent)
  file(MAKE_DIRECTORY ${root}/${parent})
  file(CREATE_LINK ${PROJECT_SOURCE_DIR}/src/${folder} ${root}/${folder} SYMBOLIC)
  set(${out} ${root} PARENT_SCOPE)
endfunction()

# Gives `target` the include root of src/FOLDER, for itself and for whatever
# links it.
function(kelvarin_include_root target folder)
  kelvarin_include_root_of(${folder} root)
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "INTERFACE_LIBRARY")
    target_include_directories(${target} INTERFACE ${root})
  else()
    target_include_directories(${target} PUBLIC ${root})
  endif()
endfunction()
