# SPDX-License-Identifier: GPL-3.0-or-later
# The folders of src/ from the bottom up and the folders each one uses directly. Each folder
# is a static library linking only these, so the arrows point downwards only; the layering
# test reads the same table to refuse an #include that points upwards.
set(NABRIX_LAYERS i18n platform storage capture hotkey history app views shell)
set(NABRIX_LAYER_USES_i18n "")
set(NABRIX_LAYER_USES_platform "")
set(NABRIX_LAYER_USES_storage platform i18n)
set(NABRIX_LAYER_USES_capture storage)
set(NABRIX_LAYER_USES_hotkey platform i18n)
set(NABRIX_LAYER_USES_history storage)
set(NABRIX_LAYER_USES_app history hotkey capture)
set(NABRIX_LAYER_USES_views app)
set(NABRIX_LAYER_USES_shell views)

# Every folder `layer` may include from: its own and all below it.
function(nabrix_layer_reach layer out)
  set(reach ${layer})
  set(pending ${NABRIX_LAYER_USES_${layer}})
  while(pending)
    list(POP_FRONT pending next)
    if(NOT next IN_LIST reach)
      list(APPEND reach ${next})
      list(APPEND pending ${NABRIX_LAYER_USES_${next}})
    endif()
  endwhile()
  set(${out} ${reach} PARENT_SCOPE)
endfunction()

# The folders of src/ that `file` includes from ("storage/clip_item.h" names storage).
function(nabrix_included_layers file out)
  file(STRINGS ${file} lines REGEX "^#include \"[a-z0-9_]+/")
  set(layers "")
  foreach(line ${lines})
    string(REGEX REPLACE "^#include \"([a-z0-9_]+)/.*" "\\1" layer "${line}")
    if(layer IN_LIST NABRIX_LAYERS)
      list(APPEND layers ${layer})
    endif()
  endforeach()
  list(REMOVE_DUPLICATES layers)
  set(${out} ${layers} PARENT_SCOPE)
endfunction()

# Links `target` with the libraries of the folders its sources include from: tests and
# benchmarks link what they exercise.
function(nabrix_link_included_layers target)
  set(libraries "")
  foreach(source ${ARGN})
    nabrix_included_layers(${source} layers)
    foreach(layer ${layers})
      list(APPEND libraries nabrix_${layer})
    endforeach()
  endforeach()
  list(REMOVE_DUPLICATES libraries)
  target_link_libraries(${target} PUBLIC ${libraries})
endfunction()
