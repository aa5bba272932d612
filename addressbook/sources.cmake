list(APPEND GUI_SOURCES
  ${MORLEN_ROOT}/addressbook/AddressBookEvents.cpp
)
