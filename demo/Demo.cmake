# The sample game: its scripts are packed into archives by halcyra-tool and laid out beside
# copies of the two game programs in build/game, ready to play.
set(DEMO_DIR ${CMAKE_CURRENT_SOURCE_DIR}/demo)
set(GAME_DIR ${CMAKE_BINARY_DIR}/game)
file(GLOB_RECURSE DEMO_SCRIPTS CONFIGURE_DEPENDS ${DEMO_DIR}/scr/*.scr)
add_custom_command(
  OUTPUT ${GAME_DIR}/scr.dat ${GAME_DIR}/halcyra ${GAME_DIR}/halcyra-gdi
  COMMAND ${CMAKE_COMMAND} -E make_directory ${GAME_DIR}
  COMMAND $<TARGET_FILE:halcyra-tool> arc pack ${GAME_DIR}/scr.dat ${DEMO_DIR}/scr --scramble
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:halcyra> $<TARGET_FILE:halcyra-gdi> ${GAME_DIR}
  DEPENDS ${DEMO_SCRIPTS} halcyra-tool halcyra halcyra-gdi
  COMMENT "Building the demo game in ${GAME_DIR}")
add_custom_target(demo ALL DEPENDS ${GAME_DIR}/scr.dat ${GAME_DIR}/halcyra ${GAME_DIR}/halcyra-gdi)
