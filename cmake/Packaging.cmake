# The manual pages, the AppStream metainfo file and the documentation files, installed with the
# rest, and the Debian package made from that installation: `cpack -G DEB` in the build folder
# (or `cmake --build build --target package`) writes zorvex-messenger_VERSION_ARCH.deb.
# Included from the top CMakeLists.txt after the other install rules.

set(ZORVEX_PACKAGE_MAINTAINER "Zorvex Messenger developers <maintainers@zorvex-messenger.invalid>"
    CACHE STRING "The Maintainer field of the Debian package")
# AppStream wants a reverse-domain id; the desktop entry keeps its plain name and is named by the
# metainfo file's launchable.
set(ZORVEX_APPSTREAM_ID org.zorvex.messenger)
set(ZORVEX_DOC_INSTALL_DIR ${CMAKE_INSTALL_DATAROOTDIR}/doc/zorvex-messenger)
set(zorvex_generated ${PROJECT_BINARY_DIR}/packaging)

# The date a release of this tree carries in the metainfo file, the manual pages and the
# changelog; honours SOURCE_DATE_EPOCH, so that a reproducible build gets the same files.
string(TIMESTAMP ZORVEX_RELEASE_DATE "%Y-%m-%d" UTC)
string(TIMESTAMP ZORVEX_CHANGELOG_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
set(ZORVEX_VERSION ${PROJECT_VERSION})

# Compressed as Debian's policy asks: the best compression, and no name or time stamp in the
# header, so that the same source gives the same bytes.
find_program(ZORVEX_GZIP gzip REQUIRED)
function(zorvex_gzip input output)
  execute_process(COMMAND ${ZORVEX_GZIP} -n -9 -c ${input} OUTPUT_FILE ${output}
                  RESULT_VARIABLE result)
  if(result)
    message(FATAL_ERROR "gzip ${input}: ${result}")
  endif()
endfunction()

foreach(page zorvex-messenger zorvex-pbem)
  configure_file(share/man/${page}.1 ${zorvex_generated}/${page}.1 @ONLY)
  zorvex_gzip(${zorvex_generated}/${page}.1 ${zorvex_generated}/${page}.1.gz)
  install(FILES ${zorvex_generated}/${page}.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()

configure_file(share/zorvex-messenger.metainfo.xml.in
               ${zorvex_generated}/${ZORVEX_APPSTREAM_ID}.metainfo.xml @ONLY)
install(FILES ${zorvex_generated}/${ZORVEX_APPSTREAM_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/metainfo)

set(CPACK_PACKAGE_NAME zorvex-messenger)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${ZORVEX_PACKAGE_MAINTAINER})
# The package is built from this source tree and its version has no Debian revision, so its
# changelog is a native package's: changelog.gz.
configure_file(packaging/changelog.in ${zorvex_generated}/changelog @ONLY)
zorvex_gzip(${zorvex_generated}/changelog ${zorvex_generated}/changelog.gz)
install(FILES packaging/copyright ${zorvex_generated}/changelog.gz
        DESTINATION ${ZORVEX_DOC_INSTALL_DIR})
# The systemd user unit that runs `zorvex-pbem watch` for one installation folder, as an example.
if(EXISTS ${PROJECT_SOURCE_DIR}/packaging/zorvex-pbem-watch@.service)
  install(FILES packaging/zorvex-pbem-watch@.service DESTINATION ${ZORVEX_DOC_INSTALL_DIR}/examples)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_VENDOR "the Zorvex Messenger developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Keeps track of Zorvex play-by-e-mail turns")
# Lines under 80 characters, as a package description wants them.
set(CPACK_PACKAGE_DESCRIPTION
    "A desktop companion for the play-by-e-mail games of the strategy game Zorvex.
It runs beside the game's installation folder, asks the game server every
15 minutes for the new events of every game in the game list, stores them as
event files for the game, and announces them from the notification area.

zorvex-pbem shows what the game's files hold and polls the server without a
window; its watch command forwards new turns to a command of the player's
choice.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# A companion of a game, not a game: nothing goes to /usr/games.
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# libcurl is opened at run time (libcurl.so.4), so no linker dependency names it.
set(CPACK_DEBIAN_PACKAGE_DEPENDS libcurl4)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
