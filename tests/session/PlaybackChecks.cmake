# The stored solutions and the playback tools, checked in processes of their own:
#   cmake -DMODE=solutions|determinism|launch -DGAME=<build> -DLIST=<solution list> -DWORK=<dir> -P
# solutions: playbackrun replays every stored solution to a win with its recorded updates and
#   state hash. determinism: one solution in two processes, full detail at 1920x1080 and the
#   lowest detail at 800x600, each drawing game frames between its updates; the whole sequence
#   of state hashes (every 50 updates) must be the same. launch: the game's own "-l" of every
#   stored solution, headless, prints the result line and ends by itself; a missing file fails.
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}/a" "${WORK}/b")
set(ENV{SDL_VIDEODRIVER} offscreen)
set(ENV{SDL_AUDIODRIVER} dummy)
set(ENV{ALSOFT_DRIVERS} null)
set(ENV{FLIMBS_HOME} "${WORK}/a")

# The first solution of the list and its recorded figures.
file(STRINGS "${LIST}" _lines REGEX "^[^#].* [0-9]+ [0-9a-f]+$")
list(GET _lines 0 _first)
string(REGEX MATCH "^([^ ]+) ([0-9]+) ([0-9a-f]+)$" _ "${_first}")
set(_playback "${CMAKE_MATCH_1}")
set(_updates "${CMAKE_MATCH_2}")
set(_hash "${CMAKE_MATCH_3}")

if(MODE STREQUAL "solutions")
  execute_process(COMMAND "${GAME}/Bin/playbackrun" --solutions "${LIST}" WORKING_DIRECTORY "${GAME}"
                  OUTPUT_VARIABLE out RESULT_VARIABLE result)
  message(STATUS "${out}")
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "a stored solution no longer holds (exit ${result})")
  endif()
elseif(MODE STREQUAL "determinism")
  execute_process(COMMAND "${GAME}/Bin/playbackrun" --hashes 50 --draw 4 --screen 1920x1080 --detail 1 "${_playback}"
                  OUTPUT_VARIABLE full RESULT_VARIABLE fullResult)
  set(ENV{FLIMBS_HOME} "${WORK}/b")
  execute_process(COMMAND "${GAME}/Bin/playbackrun" --hashes 50 --draw 4 --screen 800x600 --detail 0 "${_playback}"
                  OUTPUT_VARIABLE low RESULT_VARIABLE lowResult)
  if(NOT fullResult EQUAL 0 OR NOT lowResult EQUAL 0)
    message(FATAL_ERROR "a run failed: ${fullResult} / ${lowResult}\n${full}\n${low}")
  endif()
  string(REGEX MATCHALL "update [0-9]+ hash [0-9a-f]+" fullLines "${full}")
  string(REGEX MATCHALL "update [0-9]+ hash [0-9a-f]+" lowLines "${low}")
  list(LENGTH fullLines count)
  math(EXPR expected "${_updates} / 50")
  if(NOT count EQUAL expected)
    message(FATAL_ERROR "expected ${expected} hash lines, got ${count}:\n${full}")
  endif()
  if(NOT fullLines STREQUAL lowLines)
    message(FATAL_ERROR "the runs differ:\n--- full detail, 1920x1080 ---\n${full}\n--- lowest detail, 800x600 ---\n${low}")
  endif()
  if(NOT full MATCHES "${_updates} updates, state hash ${_hash}")
    message(FATAL_ERROR "the run did not end with the recorded hash ${_hash}:\n${full}")
  endif()
  message(STATUS "${count} hash lines alike; ${full}")
elseif(MODE STREQUAL "launch")
  foreach(_entry IN LISTS _lines)
    string(REGEX MATCH "^([^ ]+) ([0-9]+) ([0-9a-f]+)$" _ "${_entry}")
    set(_playback "${CMAKE_MATCH_1}")
    set(_updates "${CMAKE_MATCH_2}")
    set(_hash "${CMAKE_MATCH_3}")
    file(REMOVE "${WORK}/a/Cache/Log/flimbs.log")
    execute_process(COMMAND "${GAME}/Bin/FlimbsGame" -l "${_playback}" OUTPUT_VARIABLE out ERROR_VARIABLE err
                    RESULT_VARIABLE result TIMEOUT 120)
    if(NOT result EQUAL 0)
      message(FATAL_ERROR "FlimbsGame -l ${_playback} ended with ${result}\n${out}\n${err}")
    endif()
    set(_line "Playback ${_playback}: level [a-z_]+, result win, saved [0-9]+ of [0-9]+ required, ${_updates} updates, state hash ${_hash}, [0-9]+ updates per second")
    string(REPLACE "\\" "\\\\" _line "${_line}")
    if(NOT out MATCHES "${_line}")
      message(FATAL_ERROR "no result line in:\n${out}")
    endif()
    file(READ "${WORK}/a/Cache/Log/flimbs.log" log)
    if(NOT log MATCHES "${_line}")
      message(FATAL_ERROR "the log holds no result line:\n${log}")
    endif()
    message(STATUS "${out}")
  endforeach()
  # A file that is not there is reported as a failure, in the line and in the exit code.
  execute_process(COMMAND "${GAME}/Bin/FlimbsGame" -l "Level\\Solutions\\no_such_level.flimbs"
                  OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE result TIMEOUT 120)
  if(result EQUAL 0 OR NOT out MATCHES "no_such_level.flimbs: failed: ")
    message(FATAL_ERROR "a missing playback ended with ${result}:\n${out}\n${err}")
  endif()
else()
  message(FATAL_ERROR "unknown MODE ${MODE}")
endif()
