#include "addressbook/AddressBookEvents.h"

wxDEFINE_EVENT(wxEVT_ADDRESS_BOOK_CONNECT, wxCommandEvent);
