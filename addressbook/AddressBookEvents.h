// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Posted by the address book window to its parent when the user connects;
// the integer is the index of the entry in the address book.
#include <wx/event.h>

wxDECLARE_EVENT(wxEVT_ADDRESS_BOOK_CONNECT, wxCommandEvent);
