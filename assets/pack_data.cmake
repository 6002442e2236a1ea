# Builds data.dat: the asset generator draws the pictures, the font grid and
# the sounds into WORK_DIR, the library's dat utility packs them one by one in
# the order of the resource list, and the palette's unused bytes are cleared
# so that every build of the same sources gives the same file.
#   cmake -DASSETGEN=... -DDAT=... -DART_DIR=... -DFONT_FILE=... -DLIST=...
#         -DWORK_DIR=... -DOUTPUT=... -P pack_data.cmake

# Runs a command in WORK_DIR and stops the build when it fails.
function(run)
  execute_process(COMMAND ${ARGN} WORKING_DIRECTORY ${WORK_DIR} RESULT_VARIABLE failed OUTPUT_QUIET)
  if(failed)
    message(FATAL_ERROR "failed (${failed}): ${ARGN}")
  endif()
endfunction()

# The dat utility's name for each kind of object in the list.
set(dat_type_PALETTE PAL)
set(dat_type_BITMAP BMP)
set(dat_type_FONT FONT)
set(dat_type_SAMPLE SAMP)

file(MAKE_DIRECTORY ${WORK_DIR})
run(${ASSETGEN} ${WORK_DIR} ${ART_DIR} ${FONT_FILE})
set(packing ${WORK_DIR}/data.dat.tmp)
file(REMOVE ${packing})
file(STRINGS ${LIST} objects REGEX "^RESOURCE\\(")
set(position 0)
foreach(object IN LISTS objects)
  string(REGEX MATCH "^RESOURCE\\(([0-9]+), *[A-Z0-9_]+, *([A-Z]+), *([A-Za-z0-9_.]+)\\)$" object "${object}")
  set(type ${dat_type_${CMAKE_MATCH_2}})
  if(NOT object OR NOT CMAKE_MATCH_1 EQUAL position OR NOT type)
    message(FATAL_ERROR "${LIST}: cannot pack object ${position} from '${object}'")
  endif()
  # 8-bit pictures, objects kept in the order added, no grabber-only
  # properties, no compression (the game's loader also takes compressed files).
  run(${DAT} -bpp 8 -n0 -s1 -c0 -t ${type} ${packing} -a ${CMAKE_MATCH_3})
  math(EXPR position "${position} + 1")
endforeach()
run(${ASSETGEN} --clear-palette-padding ${packing})
file(RENAME ${packing} ${OUTPUT})
