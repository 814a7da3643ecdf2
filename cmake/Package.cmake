# Installation rules and the Debian package (CPack DEB; scripts/package.sh builds it).
#   <prefix>/games           startpad, zrtlobby, zrtgame (found together by the programs)
#   <prefix>/sbin            zrtserver
#   <prefix>/share/zerathon  LobbyRes/ pictures and zrthome.url, read-only; each user's game
#                            folder links to them (lobby/platform/user_game_folder.h)
#   <sysconf>/xdg/zerathon/Server.txt   the system-wide server address (a conffile)
#   desktop entries, icons in the hicolor theme, manual pages, the zrtserver unit
# The presets install into /usr, where the package puts everything (and GNUInstallDirs then
# puts the configuration into /etc).
include(GNUInstallDirs)
set(CMAKE_INSTALL_DOCDIR ${CMAKE_INSTALL_DATADIR}/doc/zerathon)

set(ZRT_PACKAGE_MAINTAINER "Zerathon lobby developers <zerathon@example.org>" CACHE STRING "Maintainer field of the Debian package")

set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(ZRT_GAMES_BINDIR games)
if(CMAKE_INSTALL_PREFIX STREQUAL "/usr")
  set(ZRT_UNIT_DIR /lib/systemd/system)
else()
  set(ZRT_UNIT_DIR lib/systemd/system)
endif()
set(pkg ${PROJECT_SOURCE_DIR}/packaging)
set(staged ${CMAKE_BINARY_DIR}/packaging)

install(TARGETS startpad zrtlobby zrtgame RUNTIME DESTINATION ${ZRT_GAMES_BINDIR})
# The installed programs resolve every symbol at start, so their relocations can be read-only.
foreach(program startpad zrtlobby zrtgame zrtserver)
  target_link_options(${program} PRIVATE LINKER:-z,now)
endforeach()
install(TARGETS zrtserver RUNTIME DESTINATION ${CMAKE_INSTALL_SBINDIR})

install(DIRECTORY ${ZRT_GAME_DIR}/LobbyRes/ DESTINATION ${CMAKE_INSTALL_DATADIR}/zerathon/LobbyRes
        FILES_MATCHING PATTERN "*.bmp" PATTERN "*.jpg" PATTERN "demo" EXCLUDE)
install(FILES ${ZRT_GAME_DIR}/zrthome.url DESTINATION ${CMAKE_INSTALL_DATADIR}/zerathon)
# The version server of a fresh installation: a zrtserver on the same machine.
file(WRITE ${staged}/Server.txt "127.0.0.1\r\n")
install(FILES ${staged}/Server.txt DESTINATION ${CMAKE_INSTALL_FULL_SYSCONFDIR}/xdg/zerathon)

install(FILES ${pkg}/zerathon.desktop ${pkg}/zerathon-lobby.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
foreach(size 16 22 24 32 48 64 128 256)
  foreach(icon zerathon zerathon-lobby)
    install(FILES ${ZRT_LAUNCHER_PICTURES_DIR}/${icon}-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME ${icon}.png)
  endforeach()
endforeach()

set(ZRT_SERVER_PATH ${CMAKE_INSTALL_FULL_SBINDIR}/zrtserver)
configure_file(${pkg}/zrtserver.service.in ${staged}/zrtserver.service @ONLY)
install(FILES ${staged}/zrtserver.service DESTINATION ${ZRT_UNIT_DIR})

# Manual pages and the changelog are installed compressed, without a time stamp in the gzip header.
set(compressed)
foreach(page startpad.6 zrtlobby.6 zrtgame.6 zrtserver.8 changelog)
  set(src ${pkg}/man/${page})
  if(page STREQUAL "changelog")
    set(src ${pkg}/changelog)
  endif()
  add_custom_command(OUTPUT ${staged}/${page}.gz
    COMMAND gzip -9n -c ${src} > ${staged}/${page}.gz
    DEPENDS ${src} VERBATIM)
  list(APPEND compressed ${staged}/${page}.gz)
endforeach()
add_custom_target(packaging_files ALL DEPENDS ${compressed})
install(FILES ${staged}/startpad.6.gz ${staged}/zrtlobby.6.gz ${staged}/zrtgame.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES ${staged}/zrtserver.8.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man8)
install(FILES ${staged}/changelog.gz ${pkg}/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})

# The Debian package.
file(WRITE ${staged}/conffiles "${CMAKE_INSTALL_FULL_SYSCONFDIR}/xdg/zerathon/Server.txt\n")
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zerathon)
set(CPACK_PACKAGE_VENDOR "Zerathon lobby developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "online lobby, launcher and servers of the strategy game Zerathon")
# CPack puts the summary first; this is the text under it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "The launcher startpad starts a training match or the online lobby. The lobby
client zrtlobby signs players in, lists the halls, and lets them chat, form
groups, look at the ladder and start a group's game. zrtgame is a headless
stand-in for the game program, and zrtserver runs the central servers (version
server, account database and lobby halls) as a systemd service.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${ZRT_PACKAGE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${ZRT_HOME_PAGE})
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "sqlite3")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${staged}/conffiles)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION TRUE)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_STRIP_FILES TRUE)
include(CPack)
