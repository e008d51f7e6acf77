# Unity batches: a target's own .cpp files are compiled a few at a time, through generated
# files that include them by their path below the source root. The generated files read the
# same in every clone, so a compiler cache shared between clones keeps hitting.
option(FLIMBS_UNITY "Compile the game, its tests and their support in unity batches" OFF)
set(FLIMBS_UNITY_BATCH 12 CACHE STRING "Source files per unity batch")

# Files compiled on their own: their file-local names collide with a neighbour's.
set(FLIMBS_UNITY_EXCLUDE
  game/FlimbOverlay.cpp
  gui/CheckBox.cpp
  gui/ComboBox.cpp
  gui/EditBox.cpp
  gui/FlimbsWindow3.cpp
  gui/SimpleWindow.cpp
  gui/SliderBar.cpp
  gui/TextButtons.cpp
  gui/ToolTip.cpp
  hud/FlimbActionButton.cpp
  hud/FlimbsBelt.cpp
  hud/FlimbsHUDUpdate.cpp
  hud/HistoryFilmStrip.cpp
  hud/HudActions.cpp
  hud/HudGame.cpp
  hud/HudKeyActions.cpp
  hud/LevelIntro.cpp
  hud/MatchResultVoice.cpp
  hud/Selectors.cpp
  hud/TimeControls.cpp
  levelmodel/MapPrimitive.cpp
  modes/GameModeStatsWidget.cpp
  modes/MultiverseMatchMode.cpp
  modes/ProcureTheParticleMode.cpp
  modes/QuantumLoopMode.cpp
  modes/QuantumQuarrelMode.cpp
  net/PseudoTcpHost.cpp
  net/WorldServerHostAgent.cpp
  platform/input/PadDevice.cpp
  session/CommandEffects.cpp
  session/CommandPass.cpp
  session/GameMatchEffects.cpp
  session/GameServer.cpp
  session/GameServerJoin.cpp
  session/GameServerRequests.cpp
  session/SessionGame.cpp
  tests/app/FileManagerTest.cpp
  tests/app/XmlUtilTest.cpp
  tests/game/LevelManagerTest.cpp
  tests/hud/FlimbsHudTest.cpp
  tests/hud/GameViewWiringTest.cpp
  tests/hud/StampTransformTest.cpp
  tests/hud/StampUITest.cpp
  tests/session/MatchTest.cpp
  tests/traps/GooGunTrapTest.cpp
  tests/traps/HoverTrapTest.cpp
  tests/traps/SizeTrapTest.cpp
  tests/traps/SwapSquishTrapTest.cpp
  tests/traps/TrapBaseTest.cpp
  tests/traps/WaterTrapTest.cpp
  tests/world/TileQueryTest.cpp
  traps/ActionsTrap.cpp
  traps/AntiGravTrap.cpp
  traps/BallTrap.cpp
  traps/BonusTrap.cpp
  traps/BridgeTrap.cpp
  traps/CheckpointTrap.cpp
  traps/CopierTrap.cpp
  traps/EntanglementTrap.cpp
  traps/FreezerTrap.cpp
  traps/FrozenFlimbTrap.cpp
  traps/GooGunTrap.cpp
  traps/HoverTrap.cpp
  traps/MushBombTrap.cpp
  traps/ParticleTrap.cpp
  traps/ShockTrap.cpp
  traps/SizeTrap.cpp
  traps/SlingShotTrap.cpp
  traps/SpeedTrap.cpp
  traps/SquishTrap.cpp
  traps/SwapTrap.cpp
  traps/TelePortTrap.cpp
  traps/TrapKindHelpers.cpp
  traps/TrapSheetDraw.cpp
  traps/TrapXml.cpp
  traps/WaterTrap.cpp
  traps_flow/AnnotationLayout.cpp
  traps_flow/BackgroundTrap.cpp
  traps_flow/CameraTrap.cpp
  traps_flow/ChatTrap.cpp
  traps_flow/ExitTrap.cpp
  traps_flow/FlowEditPanels.cpp
  traps_flow/ModifyFrameTrap.cpp
  traps_flow/ModifyTrapTrap.cpp
  traps_flow/PathTrap.cpp
  traps_flow/ProximityTrap.cpp
  traps_flow/ScriptEditPanels.cpp
  traps_flow/SkyPanel.cpp
  traps_flow/SkyTrap.cpp
  traps_flow/SoundTrap.cpp
  traps_flow/StartTrap.cpp
  traps_flow/UnlockTrap.cpp
  traps_flow/UpdateTrap.cpp
  traps_flow/WatchTraps.cpp
  traps_flow/WinLoseTrap.cpp
  world/LandscapeDraw.cpp
  world/LandscapePointer.cpp
  world/ParticleAtomize.cpp
  world/ParticleEmitters.cpp
  world/TrapRegistry.cpp
)

# Replaces the target's .cpp files below the source root by unity batches, one folder at a
# time, in sorted order.
function(flimbs_unity target)
  if(NOT FLIMBS_UNITY)
    return()
  endif()
  get_target_property(_sources ${target} SOURCES)
  get_target_property(_base ${target} SOURCE_DIR)
  set(_kept)
  set(_batched)
  foreach(source IN LISTS _sources)
    get_filename_component(_path "${source}" ABSOLUTE BASE_DIR "${_base}")
    file(RELATIVE_PATH _relative "${CMAKE_SOURCE_DIR}" "${_path}")
    file(RELATIVE_PATH _in_build "${CMAKE_BINARY_DIR}" "${_path}")
    if(_path MATCHES "\\.cpp$" AND NOT _relative MATCHES "^\\.\\./" AND _in_build MATCHES "^\\.\\./"
       AND NOT _relative IN_LIST FLIMBS_UNITY_EXCLUDE)
      list(APPEND _batched "${_relative}")
    else()
      list(APPEND _kept "${_path}")
    endif()
  endforeach()
  list(SORT _batched)

  set(_generated)
  set(_folder "")
  set(_content "")
  set(_count 0)
  set(_index 0)
  macro(_flimbs_unity_flush)
    if(_count GREATER 0)
      string(REPLACE "/" "_" _stem "${_folder}")
      set(_file "${CMAKE_BINARY_DIR}/unity/${target}/${_stem}_${_index}.cpp")
      file(CONFIGURE OUTPUT "${_file}" CONTENT "${_content}" @ONLY)
      list(APPEND _generated "${_file}")
      math(EXPR _index "${_index} + 1")
      set(_content "")
      set(_count 0)
    endif()
  endmacro()
  foreach(relative IN LISTS _batched)
    get_filename_component(_this_folder "${relative}" DIRECTORY)
    if(NOT _this_folder STREQUAL _folder OR _count EQUAL FLIMBS_UNITY_BATCH)
      _flimbs_unity_flush()
    endif()
    set(_folder "${_this_folder}")
    string(APPEND _content "#include \"${relative}\"\n")
    math(EXPR _count "${_count} + 1")
  endforeach()
  _flimbs_unity_flush()
  set_property(TARGET ${target} PROPERTY SOURCES ${_kept} ${_generated})
  # g++ warns of every file-local type that a class in an included file uses.
  target_compile_options(${target} PRIVATE $<$<CXX_COMPILER_ID:GNU>:-Wno-subobject-linkage>)
endfunction()
