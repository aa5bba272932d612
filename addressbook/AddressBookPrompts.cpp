// SPDX-License-Identifier: GPL-3.0-or-later
#include "addressbook/AddressBookPrompts.h"

#include <wx/filedlg.h>

namespace {
constexpr const char* kEntryWildcard = "MORBBS files|*.morbbs";

bool AskToSave() {
  return wxMessageBox("Save changes before closing?", "Save Changes", wxYES_NO | wxICON_QUESTION, nullptr) == wxYES;
}

std::optional<wxString> ChooseFile(wxWindow* parent, const FileChoice& choice) {
  wxFileDialog dialog(parent, choice.message, wxEmptyString, wxEmptyString, choice.wildcard, choice.style);
  if (dialog.ShowModal() != wxID_OK) return std::nullopt;
  return dialog.GetPath();
}
}  // namespace

// No overwrite question on export: the user picked the name on purpose.
const FileChoice kExportChoice{"Save Entry As", kEntryWildcard, wxFD_SAVE};
const FileChoice kImportChoice{"Choose a file to open", kEntryWildcard, wxFD_OPEN};

AddressBookPrompts::AddressBookPrompts() : askToSave(AskToSave), chooseFile(ChooseFile) {}
