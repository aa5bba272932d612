// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The questions the address book window asks the user. The window holds
// them as replaceable functions so that tests can answer them.
#include <wx/wx.h>

#include <functional>
#include <optional>

struct FileChoice {
  wxString message;
  wxString wildcard;
  long style = 0;
};

extern const FileChoice kExportChoice;
extern const FileChoice kImportChoice;

struct AddressBookPrompts {
  // "Save changes before closing?": true for Yes.
  std::function<bool()> askToSave;
  // The path picked in a file dialog, nothing when cancelled.
  std::function<std::optional<wxString>(wxWindow* parent, const FileChoice& choice)> chooseFile;

  AddressBookPrompts();
};
