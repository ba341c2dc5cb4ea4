# The sample game: its scripts, and the sounds that halcyra-demo-assets makes at build time, are
# packed into archives by halcyra-tool and laid out beside copies of the two game programs in
# build/game, ready to play. Pictures and sounds both come from halcyra-demo-assets.
set(DEMO_DIR ${CMAKE_CURRENT_SOURCE_DIR}/demo)
set(GAME_DIR ${CMAKE_BINARY_DIR}/game)
set(DEMO_PICTURE_DIR ${CMAKE_BINARY_DIR}/demo-pictures)
set(DEMO_SOUND_DIR ${CMAKE_BINARY_DIR}/demo-sounds)

file(GLOB DEMO_ASSET_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/tools/demo-assets/*.cpp)
add_executable(halcyra-demo-assets ${DEMO_ASSET_SOURCES})
target_link_libraries(halcyra-demo-assets PRIVATE halcyra_engine)
file(GLOB_RECURSE DEMO_SCRIPTS CONFIGURE_DEPENDS ${DEMO_DIR}/scr/*)
set(DEMO_OUTPUTS ${GAME_DIR}/scr.dat ${GAME_DIR}/cg.dat ${GAME_DIR}/wav.dat
                 ${GAME_DIR}/halcyra ${GAME_DIR}/halcyra-gdi)
add_custom_command(
  OUTPUT ${DEMO_OUTPUTS}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${GAME_DIR}
  COMMAND $<TARGET_FILE:halcyra-tool> arc pack ${GAME_DIR}/scr.dat ${DEMO_DIR}/scr --scramble
  COMMAND $<TARGET_FILE:halcyra-demo-assets> ${DEMO_SOUND_DIR} ${DEMO_PICTURE_DIR}
  COMMAND $<TARGET_FILE:halcyra-tool> arc pack ${GAME_DIR}/cg.dat ${DEMO_PICTURE_DIR} --scramble
  COMMAND $<TARGET_FILE:halcyra-tool> arc pack ${GAME_DIR}/wav.dat ${DEMO_SOUND_DIR}
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:halcyra> $<TARGET_FILE:halcyra-gdi> ${GAME_DIR}
  DEPENDS ${DEMO_SCRIPTS} halcyra-tool halcyra-demo-assets halcyra halcyra-gdi
  COMMENT "Building the demo game in ${GAME_DIR}")
add_custom_target(demo ALL DEPENDS ${DEMO_OUTPUTS})
