# Runs the replay driver on a level twice for 500 updates and compares the hash lines:
# cmake -DDRIVER=... -DWORK=... -DLEVEL=... [-DVIEWER=... -DPICTURE=... -DPICTURE_UPDATE=N -DLOOK=X,Y] -P
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}/drawing" "${WORK}/quiet")
set(ENV{SDL_VIDEODRIVER} offscreen)
set(ENV{SDL_AUDIODRIVER} dummy)
set(ENV{ALSOFT_DRIVERS} null)
set(ENV{FLIMBS_HOME} "${WORK}/drawing")
execute_process(COMMAND "${DRIVER}" --level "${LEVEL}" --updates 500 --draw --preview --detail 1
                OUTPUT_VARIABLE drawing RESULT_VARIABLE drawingResult)
set(ENV{FLIMBS_HOME} "${WORK}/quiet")
execute_process(COMMAND "${DRIVER}" --level "${LEVEL}" --updates 500 --detail 0
                OUTPUT_VARIABLE quiet RESULT_VARIABLE quietResult)
if(NOT drawingResult EQUAL 0 OR NOT quietResult EQUAL 0)
  message(FATAL_ERROR "the driver failed: ${drawingResult} / ${quietResult}\n${drawing}\n${quiet}")
endif()
string(REGEX MATCHALL "update [0-9]+ hash [0-9a-f]+ flimbs [0-9]+" drawingLines "${drawing}")
string(REGEX MATCHALL "update [0-9]+ hash [0-9a-f]+ flimbs [0-9]+" quietLines "${quiet}")
list(LENGTH quietLines count)
if(NOT count EQUAL 5)
  message(FATAL_ERROR "expected 5 hash lines, got ${count}:\n${quiet}")
endif()
if(NOT drawingLines STREQUAL quietLines)
  message(FATAL_ERROR "the runs differ:\n--- drawing, preview, full detail ---\n${drawing}\n--- quiet, no detail ---\n${quiet}")
endif()
message(STATUS "${quiet}")
# The picture, through the game view at 1280 x 720 centred on LOOK, at update PICTURE_UPDATE.
if(PICTURE)
  set(ENV{FLIMBS_HOME} "${WORK}/picture")
  execute_process(COMMAND "${VIEWER}" "${LEVEL}" --draw --flimbs 0 --updates ${PICTURE_UPDATE} --look ${LOOK}
                          --picture "${PICTURE}"
                  RESULT_VARIABLE pictureResult)
  if(NOT pictureResult EQUAL 0)
    message(FATAL_ERROR "the picture run failed: ${pictureResult}")
  endif()
endif()
