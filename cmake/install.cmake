# Installing as a distribution lays the game out, and the Debian package made from that.
# The program goes in <prefix>/games, its sounds in <prefix>/share/games/kelvane/data; the
# program finds the sounds from its own real path, by the relative path between the two.
set(CMAKE_INSTALL_DOCDIR "share/doc/kelvane" CACHE PATH "Documentation (the licence, the README)")
include(GNUInstallDirs)
set(KELVANE_INSTALL_GAMESDIR "games" CACHE STRING "Where the program goes, under the prefix")
set(KELVANE_INSTALL_DATADIR "${CMAKE_INSTALL_DATADIR}/games/kelvane" CACHE STRING
    "Where the folder holding the sounds' data folder goes, under the prefix")
set(KELVANE_APP_ID "org.kelvane.kelvane" CACHE STRING "The desktop entry's and the metainfo's id")
set(KELVANE_WEB_URL "https://kelvane.org" CACHE STRING "The home page; the metainfo's screenshots are under /screens")
set(KELVANE_RELEASE_DATE "2026-12-09")

file(RELATIVE_PATH KELVANE_DATA_FROM_PROGRAM "/${KELVANE_INSTALL_GAMESDIR}" "/${KELVANE_INSTALL_DATADIR}")
set_source_files_properties(src/app/datapaths.cpp PROPERTIES
  COMPILE_DEFINITIONS "KELVANE_DATA_FROM_PROGRAM=\"${KELVANE_DATA_FROM_PROGRAM}\"")
set(KELVANE_FULL_DATADIR "${CMAKE_INSTALL_PREFIX}/${KELVANE_INSTALL_DATADIR}")

# Made in the build: the metainfo and the manual page with the version filled in, and the
# manual page and the changelog compressed as Debian wants them.
set(PKG ${CMAKE_SOURCE_DIR}/packaging)
set(GEN ${CMAKE_BINARY_DIR}/packaging)
configure_file(${PKG}/kelvane.metainfo.xml.in ${GEN}/${KELVANE_APP_ID}.metainfo.xml @ONLY)
configure_file(${PKG}/kelvane.6.in ${GEN}/kelvane.6 @ONLY)
configure_file(${PKG}/changelog ${GEN}/changelog COPYONLY)
foreach(doc kelvane.6 changelog)
  add_custom_command(OUTPUT ${GEN}/${doc}.gz
    COMMAND gzip -9nfk ${GEN}/${doc}
    DEPENDS ${GEN}/${doc} VERBATIM)
endforeach()
add_custom_target(kelvane_docs ALL DEPENDS ${GEN}/kelvane.6.gz ${GEN}/changelog.gz)

install(TARGETS kelvane RUNTIME DESTINATION ${KELVANE_INSTALL_GAMESDIR})
install(FILES ${KELVANE_DATA} DESTINATION ${KELVANE_INSTALL_DATADIR}/data)
install(FILES ${PKG}/kelvane.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications
        RENAME ${KELVANE_APP_ID}.desktop)
foreach(size 16 32 48 64 128 256)
  install(FILES ${CMAKE_SOURCE_DIR}/assets/icons/kelvane_${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME kelvane.png)
endforeach()
install(FILES ${GEN}/${KELVANE_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${GEN}/kelvane.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES ${CMAKE_SOURCE_DIR}/LICENSE DESTINATION ${CMAKE_INSTALL_DOCDIR} RENAME copyright)
install(FILES ${GEN}/changelog.gz ${CMAKE_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})

# `make package`: a .deb of the installed layout under /usr, its dependencies read from
# the shared libraries the program links.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kelvane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Kelvane Team <team@kelvane.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "arcade shooter: clear infected PCs of their viruses")
set(CPACK_PACKAGE_DESCRIPTION
  "Kelvane is a single-player arcade shooter. Each stage is an infected PC:\nviruses stream across a circuit board seen at an angle, your ship slides\nalong one diagonal track, fires plasma, sweeps the board with fire walls\nand collects capsules. It can be drawn in anaglyph stereo for coloured\nglasses.")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${KELVANE_WEB_URL}/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
include(CPack)
