# The sample game: its scripts are packed into archives by halcyra-tool and laid out beside
# copies of the two game programs in build/game, ready to play. Pictures and sounds come from
# generators as the engine learns to show and play them; until then their archives are empty.
set(DEMO_DIR ${CMAKE_CURRENT_SOURCE_DIR}/demo)
set(GAME_DIR ${CMAKE_BINARY_DIR}/game)
set(DEMO_EMPTY_DIR ${CMAKE_BINARY_DIR}/demo-empty)
file(GLOB_RECURSE DEMO_SCRIPTS CONFIGURE_DEPENDS ${DEMO_DIR}/scr/*.scr)
set(DEMO_OUTPUTS ${GAME_DIR}/scr.dat ${GAME_DIR}/cg.dat ${GAME_DIR}/wav.dat
                 ${GAME_DIR}/halcyra ${GAME_DIR}/halcyra-gdi)
add_custom_command(
  OUTPUT ${DEMO_OUTPUTS}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${GAME_DIR} ${DEMO_EMPTY_DIR}
  COMMAND $<TARGET_FILE:halcyra-tool> arc pack ${GAME_DIR}/scr.dat ${DEMO_DIR}/scr --scramble
  COMMAND $<TARGET_FILE:halcyra-tool> arc pack ${GAME_DIR}/cg.dat ${DEMO_EMPTY_DIR} --scramble
  COMMAND $<TARGET_FILE:halcyra-tool> arc pack ${GAME_DIR}/wav.dat ${DEMO_EMPTY_DIR}
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:halcyra> $<TARGET_FILE:halcyra-gdi> ${GAME_DIR}
  DEPENDS ${DEMO_SCRIPTS} halcyra-tool halcyra halcyra-gdi
  COMMENT "Building the demo game in ${GAME_DIR}")
add_custom_target(demo ALL DEPENDS ${DEMO_OUTPUTS})
