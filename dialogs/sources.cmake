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
