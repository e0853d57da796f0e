# Installation and the Debian package.
#
# The game's own folder, lib/trasovky under the prefix, holds the program and everything it reads
# beside it: the sounds, the logo, the results picture, the help and the bundled tracks. The
# program finds that folder from its own executable (links resolved), so bin/trasovky is a relative
# link to it and the folder runs from wherever it is moved. Installed under /usr, where the player
# may not write, the game keeps the settings and the tracks with their records in the user's data
# folder (shell/DataFolder.h); no settings file is installed, the game writes the first one itself.
#
#   cmake --install build --prefix DIR      a portable folder: DIR/lib/trasovky
#   cd build && cpack -G DEB                trasovky_<version>_<arch>.deb for /usr

set(TRASOVKY_INSTALL_DIR lib/trasovky)
set(TRASOVKY_MAINTAINER "Trasovky <trasovky@example.org>" CACHE STRING "The Maintainer field of the Debian package")

install(TARGETS trasovky RUNTIME DESTINATION ${TRASOVKY_INSTALL_DIR})
install(FILES ${SOUND_FILES} ${PROGRAM_DIR}/Logo.bmp ${PROGRAM_DIR}/vysledky.bmp ${PROGRAM_DIR}/help.doc
  DESTINATION ${TRASOVKY_INSTALL_DIR})
file(GLOB TRACK_DEFINITIONS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tracks/*.trt ${CMAKE_SOURCE_DIR}/tracks/*.wmf)
install(FILES ${TRACK_DEFINITIONS} DESTINATION ${TRASOVKY_INSTALL_DIR}/tracks)
# A record already in the folder is the player's (a portable folder installed again): it is kept,
# not replaced by the bundled one.
file(GLOB TRACK_RECORDS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tracks/*.rek)
install(CODE "
  set(tracks \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${TRASOVKY_INSTALL_DIR}/tracks\")
  foreach(record ${TRACK_RECORDS})
    get_filename_component(name \"\${record}\" NAME)
    if(EXISTS \"\${tracks}/\${name}\" OR IS_SYMLINK \"\${tracks}/\${name}\")
      message(STATUS \"Kept (the player's record): \${tracks}/\${name}\")
    else()
      message(STATUS \"Installing: \${tracks}/\${name}\")
      file(COPY \"\${record}\" DESTINATION \"\${tracks}\")
    endif()
    list(APPEND CMAKE_INSTALL_MANIFEST_FILES \"\${tracks}/\${name}\")
  endforeach()
  set(program \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/bin/trasovky\")
  message(STATUS \"Installing: \${program} -> ../${TRASOVKY_INSTALL_DIR}/trasovky\")
  file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/bin\")
  file(CREATE_LINK \"../${TRASOVKY_INSTALL_DIR}/trasovky\" \"\${program}\" SYMBOLIC)
  list(APPEND CMAKE_INSTALL_MANIFEST_FILES \"\${program}\")
")

# The desktop's menu entry and its icon, drawn from the window icon at the usual sizes.
install(FILES ${CMAKE_SOURCE_DIR}/resources/trasovky.desktop DESTINATION share/applications)
set(ICON_SIZES 32 64 128)
set(ICON_FILES)
foreach(size ${ICON_SIZES})
  set(icon ${CMAKE_BINARY_DIR}/icons/${size}x${size}/trasovky.png)
  add_custom_command(OUTPUT ${icon}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/icons/${size}x${size}
    COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen $<TARGET_FILE:make_icon>
      ${CMAKE_SOURCE_DIR}/resources/trasovky.xpm ${size} ${icon}
    DEPENDS make_icon ${CMAKE_SOURCE_DIR}/resources/trasovky.xpm
    COMMENT "Drawing the ${size} pixel icon")
  list(APPEND ICON_FILES ${icon})
  install(FILES ${icon} DESTINATION share/icons/hicolor/${size}x${size}/apps)
endforeach()
add_custom_target(desktop_icons ALL DEPENDS ${ICON_FILES})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME trasovky)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${TRASOVKY_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "vector racing game for one to ten players at one computer")
# The long description under the summary; cpack indents its lines and marks the empty one.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Trasovky - Kladivnice Cup is a racing game played in turns on the picture of a
track. Each move repeats the car's last move and may deviate from it by at
most the track's step; touching the barrier costs turns or ends the race.
Players race against each other or against computer drivers of three
strengths, and each track keeps its best ride as a record.

Four tracks are included. The interface is Czech, with English to choose.")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${TRASOVKY_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The libraries the program links, computed by dpkg-shlibdeps (package dpkg-dev).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
include(CPack)
