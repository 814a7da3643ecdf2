# The ready game folder under the build tree, for the demo and the tests:
#   ${ZRT_GAME_DIR}/LobbyRes   generated pictures and Server.txt (the local reference server)
#   ${ZRT_GAME_DIR}/*.PRF      sample profiles written by the stand-in game
#   ${ZRT_GAME_DIR}/save/...   sample saved games
#   ${ZRT_GAME_DIR}/zrthome.url, zrtlobby   the launcher's web-site shortcut and a link to the lobby
#   ${CMAKE_BINARY_DIR}/xdg    configuration home holding the stand-in game's registration
set(ZRT_XDG_DIR ${CMAKE_BINARY_DIR}/xdg)
file(MAKE_DIRECTORY ${ZRT_GAME_DIR}/LobbyRes)
# The demo's reference server listens on 127.0.0.1; the file ends with CR LF.
file(WRITE ${ZRT_GAME_DIR}/LobbyRes/Server.txt "127.0.0.1\r\n")
file(WRITE ${ZRT_GAME_DIR}/zrthome.url "[InternetShortcut]\r\nURL=${ZRT_HOME_PAGE}\r\n")

add_custom_target(gamefolder ALL)
foreach(part lobbyres_pictures game_profiles)
  if(TARGET ${part})
    add_dependencies(gamefolder ${part})
  endif()
endforeach()
add_custom_command(TARGET gamefolder POST_BUILD
  COMMAND ${CMAKE_COMMAND} -E create_symlink $<TARGET_FILE:zrtlobby> ${ZRT_GAME_DIR}/zrtlobby)
if(TARGET zrtgame)
  add_custom_command(TARGET gamefolder POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E env XDG_CONFIG_HOME=${ZRT_XDG_DIR}
            $<TARGET_FILE:zrtgame> register --game-dir ${ZRT_GAME_DIR} --config-home ${ZRT_XDG_DIR}
    COMMENT "Registering the stand-in game in ${ZRT_XDG_DIR}")
endif()
