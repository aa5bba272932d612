// SPDX-License-Identifier: GPL-3.0-or-later
#include "addressbook/AddressBookEvents.h"

wxDEFINE_EVENT(wxEVT_ADDRESS_BOOK_CONNECT, wxCommandEvent);
