# SPDX-License-Identifier: GPL-3.0-or-later
# Installation (`make install`) and the Debian package (`make package`).
# Included from the top-level CMakeLists.txt after the programs are defined.
include(GNUInstallDirs)

set(MORLEN_APP_ID com.vendorly.morlen)
set(MORLEN_HOMEPAGE "https://www.vendorly.com/morlen" CACHE STRING
    "The project's web site")
set(MORLEN_PACKAGE_MAINTAINER "Morlen Developers <dev@morlen.invalid>" CACHE STRING
    "Maintainer of the Debian package")
set(MORLEN_PACKAGING ${MORLEN_ROOT}/packaging)
set(MORLEN_SHARE_OUT ${CMAKE_BINARY_DIR}/share)

# The desktop icon, drawn by the same script and from the same pixels as the
# window icon.
set(MORLEN_ICON_SIZES 16 32 48 64 128 256)
set(icon_outputs ${MORLEN_SHARE_OUT}/icons/scalable/apps/${MORLEN_APP_ID}.svg)
foreach(size ${MORLEN_ICON_SIZES})
  list(APPEND icon_outputs ${MORLEN_SHARE_OUT}/icons/${size}x${size}/apps/${MORLEN_APP_ID}.png)
endforeach()
find_package(Python3 REQUIRED COMPONENTS Interpreter)
add_custom_command(
  OUTPUT ${icon_outputs}
  COMMAND Python3::Interpreter ${MORLEN_ROOT}/tools/make_icons.py --hicolor ${MORLEN_SHARE_OUT}/icons ${MORLEN_APP_ID}
  DEPENDS ${MORLEN_ROOT}/tools/make_icons.py
  COMMENT "Drawing the desktop icons")

# The metadata's screenshot: the real main window on its first start, taken
# under Xvfb by tools/capture-screenshot.sh and committed, so that the build
# needs no display. The metadata names it by its installed path, which is
# known only when installing (the package goes under /usr, `make install`
# under PREFIX): the metadata is written then.
set(screenshot ${MORLEN_PACKAGING}/screenshots/main-window.png)
set(MORLEN_SCREENSHOT_DIR ${CMAKE_INSTALL_DATADIR}/morlen/screenshots)
file(READ ${screenshot} png_size OFFSET 16 LIMIT 8 HEX)  # the PNG header's width and height
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${screenshot})
string(SUBSTRING ${png_size} 0 8 width_hex)
string(SUBSTRING ${png_size} 8 8 height_hex)
math(EXPR MORLEN_SCREENSHOT_WIDTH "0x${width_hex}")
math(EXPR MORLEN_SCREENSHOT_HEIGHT "0x${height_hex}")
if(MORLEN_PACKAGE_MAINTAINER MATCHES "<([^>]+)>")
  set(MORLEN_UPDATE_CONTACT ${CMAKE_MATCH_1})
endif()
set(MORLEN_SCREENSHOT_URL "@MORLEN_SCREENSHOT_URL@")  # filled in when installing
set(metainfo_template ${CMAKE_BINARY_DIR}/${MORLEN_APP_ID}.metainfo.xml.in)
configure_file(${MORLEN_PACKAGING}/${MORLEN_APP_ID}.metainfo.xml.in ${metainfo_template} @ONLY)
set(metainfo ${MORLEN_SHARE_OUT}/metainfo/${MORLEN_APP_ID}.metainfo.xml)

# The machine-readable licence of the package.
configure_file(${MORLEN_PACKAGING}/copyright.in ${MORLEN_SHARE_OUT}/doc/copyright @ONLY)

# Debian wants manual pages compressed; man reads them either way.
find_program(GZIP gzip REQUIRED)
set(man_outputs)
foreach(page morlen.1 morlen-petscii.1)
  set(out ${MORLEN_SHARE_OUT}/man/man1/${page}.gz)
  add_custom_command(
    OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${MORLEN_SHARE_OUT}/man/man1
    COMMAND ${GZIP} -9nc ${MORLEN_PACKAGING}/${page} > ${out}
    DEPENDS ${MORLEN_PACKAGING}/${page}
    COMMENT "Compressing ${page}")
  list(APPEND man_outputs ${out})
endforeach()

# Debian's release history of the package, compressed like the pages.
configure_file(${MORLEN_PACKAGING}/changelog.in ${CMAKE_BINARY_DIR}/changelog @ONLY)
set(changelog ${MORLEN_SHARE_OUT}/doc/changelog.gz)
add_custom_command(
  OUTPUT ${changelog}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${MORLEN_SHARE_OUT}/doc
  COMMAND ${GZIP} -9nc ${CMAKE_BINARY_DIR}/changelog > ${changelog}
  DEPENDS ${CMAKE_BINARY_DIR}/changelog
  COMMENT "Compressing the changelog")

add_custom_target(morlen_desktop_files ALL DEPENDS ${icon_outputs} ${man_outputs} ${changelog})

install(TARGETS morlen morlen-petscii RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# A stripped install (`make install`, the package) also drops the compiler's
# notes, as Debian's own stripping does.
install(CODE "if(CMAKE_INSTALL_DO_STRIP)
  foreach(program morlen morlen-petscii)
    execute_process(COMMAND \"${CMAKE_STRIP}\" --remove-section=.comment --remove-section=.note
      \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/\${program}\" COMMAND_ERROR_IS_FATAL ANY)
  endforeach()
endif()")
install(FILES ${MORLEN_PACKAGING}/${MORLEN_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${screenshot} DESTINATION ${MORLEN_SCREENSHOT_DIR})
install(CODE "set(MORLEN_SCREENSHOT_URL \"file://\${CMAKE_INSTALL_PREFIX}/${MORLEN_SCREENSHOT_DIR}/main-window.png\")
  configure_file(\"${metainfo_template}\" \"${metainfo}\" @ONLY)")
install(FILES ${metainfo} DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${MORLEN_SHARE_OUT}/doc/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/morlen)
install(DIRECTORY ${MORLEN_SHARE_OUT}/icons/ DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
install(FILES ${man_outputs} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${changelog} DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/morlen)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME morlen)
set(CPACK_PACKAGE_VENDOR Vendorly)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "terminal for Commodore 64 bulletin-board systems")
set(CPACK_PACKAGE_DESCRIPTION
    "Morlen calls PETSCII bulletin-board systems over TCP and shows what they send
exactly as a Commodore 64 screen would: 40 columns by 25 rows in the sixteen
C64 colours, in both character sets, with scrollback. Key presses become the
PETSCII codes a C64 keyboard sends. It keeps an address book of boards,
records and replays sessions as SEQ files, and moves files with Xmodem and
Punter. The package also holds morlen-petscii, which dumps and renders SEQ
files.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${MORLEN_PACKAGE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${MORLEN_HOMEPAGE})
# Dependencies come from the libraries the programs link (dpkg-shlibdeps).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The update check speaks HTTPS: it needs the system's certificate store.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS ca-certificates)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
include(CPack)
