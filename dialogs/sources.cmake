# SPDX-License-Identifier: GPL-3.0-or-later
# The About dialog and the update check. What the check makes of the
# version file, the request itself and the glyph labels are toolkit-free.
set(MORLEN_UPDATE_SERVER "https://www.vendorly.com" CACHE STRING
    "Web server the update check asks for <server>/morlen.ver")
list(APPEND CORE_SOURCES
  ${MORLEN_ROOT}/dialogs/UpdateCheck.cpp
  ${MORLEN_ROOT}/dialogs/VersionFileFetch.cpp
  ${MORLEN_ROOT}/dialogs/GlyphText.cpp
)
set_source_files_properties(${MORLEN_ROOT}/dialogs/UpdateCheck.cpp PROPERTIES
  COMPILE_DEFINITIONS "MORLEN_UPDATE_SERVER=\"${MORLEN_UPDATE_SERVER}\"")
list(APPEND GUI_SOURCES
  ${MORLEN_ROOT}/dialogs/wxSolidLine.cpp
  ${MORLEN_ROOT}/dialogs/wxGlyphButton.cpp
  ${MORLEN_ROOT}/dialogs/wxAboutDialog.cpp
  ${MORLEN_ROOT}/dialogs/wxCheckForUpdates.cpp
  ${MORLEN_ROOT}/dialogs/wxCheckForUpdatesProgress.cpp
)
# The About picture: a PETSCII drawing, drawn by morlen-petscii's render
# (the terminal's own compositor) into PNG data at build time.
set(MORLEN_ABOUT_PNG ${MORLEN_GENERATED}/about_picture.png)
add_custom_command(
  OUTPUT ${MORLEN_ABOUT_PNG}
  COMMAND morlen-petscii render --scale 1 ${MORLEN_ROOT}/resources/about_picture.seq ${MORLEN_ABOUT_PNG}
  DEPENDS morlen-petscii ${MORLEN_ROOT}/resources/about_picture.seq
  COMMENT "Drawing the About picture")
morlen_embed(GUI_SOURCES ${MORLEN_ABOUT_PNG} aboutPicturePng)
