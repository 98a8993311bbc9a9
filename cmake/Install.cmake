# What `cmake --install` puts under the prefix, and the Debian package that
# `cpack -G DEB` makes of it. The demo game is a component of its own.
include(GNUInstallDirs)

set(VANTOREL_APP_ID org.vantorel.Vantorel)
set(VANTOREL_DEMO_INSTALL_DIR ${CMAKE_INSTALL_DATADIR}/games/vantorel/demo)

install(TARGETS vantorel vantorel-script RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT engine)

install(FILES data/${VANTOREL_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT engine)
configure_file(data/${VANTOREL_APP_ID}.metainfo.xml ${CMAKE_BINARY_DIR}/data/${VANTOREL_APP_ID}.metainfo.xml @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/data/${VANTOREL_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo COMPONENT engine)
install(FILES data/${VANTOREL_APP_ID}.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
        COMPONENT engine)
foreach(man vantorel.6 vantorel-script.1)
  configure_file(data/man/${man} ${CMAKE_BINARY_DIR}/data/man/${man} @ONLY)
  string(REGEX REPLACE ".*\\.([0-9])$" "\\1" section ${man})
  install(FILES ${CMAKE_BINARY_DIR}/data/man/${man} DESTINATION ${CMAKE_INSTALL_MANDIR}/man${section} COMPONENT engine)
endforeach()

# The PNG icons are drawn at each size by the picture generator.
set(icon_files)
foreach(size 16 32 48 64 128 256)
  set(png ${CMAKE_BINARY_DIR}/data/icons/${size}/${VANTOREL_APP_ID}.png)
  add_custom_command(OUTPUT ${png}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/data/icons/${size}
    COMMAND vantorel-makeart icon-${size} ${png}
    DEPENDS vantorel-makeart VERBATIM)
  list(APPEND icon_files ${png})
  install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps COMPONENT engine)
endforeach()
add_custom_target(vantorel_icons ALL DEPENDS ${icon_files})

if(VANTOREL_GAME)
  install(DIRECTORY ${CMAKE_BINARY_DIR}/game/GameData DESTINATION ${VANTOREL_DEMO_INSTALL_DIR} COMPONENT demo)
endif()

# The Debian package: the engine with the demo, dependencies from
# dpkg-shlibdeps plus the fonts and the soundfont the engine looks for.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vantorel)
set(CPACK_PACKAGE_VENDOR "Vantorel")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "script-driven visual-novel engine, with a demo game")
set(CPACK_PACKAGE_DESCRIPTION
    "Vantorel plays visual novels written as scene scripts: narration and dialogue\ntyped out in a message window over pictures, MIDI music and sound effects,\nmenus, fades and three save slots. It comes with a short demo story and with\nvantorel-script, the authors' tool that builds and checks scripts.")
set(CPACK_PACKAGE_CONTACT "Vantorel developers <vantorel@localhost>")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The libraries opened with dlopen (SDL_mixer, FluidSynth, SDL_image), which
# dpkg-shlibdeps does not see.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libsdl2-mixer-2.0-0, libfluidsynth3, libsdl2-image-2.0-0, fonts-ipafont-gothic, fontconfig, timgm6mb-soundfont | fluid-soundfont-gm")
set(CPACK_STRIP_FILES ON)
include(CPack)
