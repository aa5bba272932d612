# SPDX-License-Identifier: GPL-3.0-or-later
list(APPEND CORE_SOURCES
  ${MORLEN_ROOT}/settings/JsonScanner.cpp
  ${MORLEN_ROOT}/settings/TolerantJsonReader.cpp
  ${MORLEN_ROOT}/settings/JsonEscape.cpp
  ${MORLEN_ROOT}/settings/Utf8Text.cpp
  ${MORLEN_ROOT}/settings/TextTemplate.cpp
  ${MORLEN_ROOT}/settings/TextHelpers.cpp
  ${MORLEN_ROOT}/settings/NumberText.cpp
  ${MORLEN_ROOT}/settings/Base64.cpp
  ${MORLEN_ROOT}/settings/FileHelpers.cpp
  ${MORLEN_ROOT}/settings/AtomicFileWrite.cpp
  ${MORLEN_ROOT}/settings/Settings.cpp
  ${MORLEN_ROOT}/settings/SettingsSaveSchedule.cpp
  ${MORLEN_ROOT}/settings/LineSpeed.cpp
  ${MORLEN_ROOT}/settings/UserDirectories.cpp
  ${MORLEN_ROOT}/settings/AddressBook.cpp
  ${MORLEN_ROOT}/settings/AddressBookText.cpp
  ${MORLEN_ROOT}/settings/Configuration.cpp
  ${MORLEN_ROOT}/settings/UnreadableCopy.cpp
  ${MORLEN_ROOT}/settings/ConfigurationStartUp.cpp
  ${MORLEN_ROOT}/settings/DefaultAddressBook.cpp
)
morlen_embed(CORE_SOURCES resources/default_address_book.json defaultAddressBookJson)
