# SPDX-License-Identifier: GPL-3.0-or-later
list(APPEND CORE_SOURCES
  ${MORLEN_ROOT}/addressbook/AddressBookWorkingCopy.cpp
  ${MORLEN_ROOT}/addressbook/AddressBookEditing.cpp
)
list(APPEND GUI_SOURCES
  ${MORLEN_ROOT}/addressbook/AddressBookEvents.cpp
  ${MORLEN_ROOT}/addressbook/AddressBookPrompts.cpp
  ${MORLEN_ROOT}/addressbook/wxColor16ChooserButton.cpp
  ${MORLEN_ROOT}/addressbook/wxColor16ChooserPopup.cpp
  ${MORLEN_ROOT}/addressbook/AddressBookFrame.cpp
  ${MORLEN_ROOT}/addressbook/AddressBookCommands.cpp
)
