// SPDX-License-Identifier: GPL-3.0-or-later
// The address book window's commands: new, delete, move, undo, paste
// screenshot, export, import, connect and close, and when they are offered.
#include <wx/menu.h>

#include "addressbook/AddressBookEditing.h"
#include "addressbook/AddressBookFrame.h"
#include "app/CommandIds.h"
#include "app/LocaleText.h"
#include "resources/paste_screenshot.xpm"
#include "app/ProgramValues.h"
#include "app/SaveReport.h"

void AddressBookFrame::OnNew(wxCommandEvent&) {
  copy.entries.push_back(makeNewEntry());
  fillList();
  // The selection notification loads the entry and enables the editor.
  selectRow(static_cast<int>(copy.entries.size()) - 1);
}

void AddressBookFrame::OnDelete(wxCommandEvent&) {
  const int row = selectedRow();
  if (row == kNoRow) return;
  const int next = removeEntry(copy.entries, row);
  fillList();
  if (next == kNoRow) {
    clearEditor();
    enableEditor(false);
    return;
  }
  selectRow(next);
  loadEntry(static_cast<std::size_t>(next));
}

void AddressBookFrame::SwapListTexts(int first, int second) {
  for (int row : {first, second})
    list->SetItemText(row, FromByteString(copy.entries[static_cast<std::size_t>(row)].name));
}

void AddressBookFrame::OnMoveUp(wxCommandEvent&) {
  const int row = selectedRow();
  if (!moveEntryUp(copy.entries, row)) return;
  SwapListTexts(row, row - 1);
  selectRow(row - 1);
}

void AddressBookFrame::OnMoveDown(wxCommandEvent&) {
  const int row = selectedRow();
  if (!moveEntryDown(copy.entries, row)) return;
  SwapListTexts(row, row + 1);
  selectRow(row + 1);
}

void AddressBookFrame::OnListContextMenu(wxContextMenuEvent&) {
  wxMenu menu;
  menu.Append(addressBookId::kMoveUp, "Move &Up\tAlt+Up", wxEmptyString);
  menu.Append(addressBookId::kMoveDown, "Move &Down\tAlt+Down", wxEmptyString);
  PopupMenu(&menu, wxDefaultPosition);
}

void AddressBookFrame::OnUndo(wxCommandEvent&) {
  // Every change since the opening or the last commit goes in one step.
  copy.reset(programAddressBook());
  fillList();
  selectInitialEntry();
  UpdateWindowUI(wxUPDATE_UI_NONE);
}

void AddressBookFrame::OnPasteScreenshot(wxCommandEvent&) {
  AddressBookEntry* entry = SelectedEntry();
  if (!entry || screenshotText().empty()) return;
  entry->screenshot = screenshotText();
  ShowScreenshot(entry->screenshot);
}

void AddressBookFrame::OnExport(wxCommandEvent&) {
  const int row = selectedRow();
  if (row == kNoRow) return;
  if (const std::optional<wxString> path = prompts.chooseFile(this, kExportChoice)) {
    const std::string target = ToByteString(*path);
    const FileReplacement written = writeEntryFile(target, copy.entries[static_cast<std::size_t>(row)]);
    if (!written) TellSaveFailure(this, saveFailureText(target, written.error));
  }
  wxSafeYield(nullptr, false);
}

void AddressBookFrame::OnImport(wxCommandEvent&) {
  if (const std::optional<wxString> path = prompts.chooseFile(this, kImportChoice)) {
    const EntryList imported = readEntryFile(ToByteString(*path));
    if (!imported.empty()) {
      copy.entries.insert(copy.entries.end(), imported.begin(), imported.end());
      fillList();
      const int last = static_cast<int>(copy.entries.size()) - 1;
      selectRow(last);
      loadEntry(static_cast<std::size_t>(last));
    }
  }
  wxSafeYield(nullptr, false);
}

void AddressBookFrame::Commit() {
  // The user asked for this save: a save left undone is told as well.
  copy.commit([this] { return SaveConfigurationTelling(this, true); });
}

void AddressBookFrame::ConnectToSelected() {
  // Row activation arrives here whether or not the button is enabled.
  const int row = selectedRow();
  if (row == kNoRow || !isConnectable(row)) return;
  if (copy.isModified()) Commit();
  // A forced close asks nothing; the window is deleted only at idle time,
  // so the request below still goes out from a live window.
  Close(true);
  programAddressBook().selectedIndex = row;
  wxWindow* parent = GetParent();
  if (!parent) return;
  wxCommandEvent request(wxEVT_ADDRESS_BOOK_CONNECT, 0);
  request.SetInt(row);
  parent->GetEventHandler()->AddPendingEvent(request);
}

void AddressBookFrame::OnClose(wxCloseEvent& event) {
  // An open palette goes first, before any question.
  backgroundChooser->ClosePopup();
  foregroundChooser->ClosePopup();
  // Never vetoed and no Cancel: No drops the changes at the next opening.
  if (event.CanVeto() && copy.isModified() && prompts.askToSave()) Commit();
  Destroy();
}

void AddressBookFrame::OnUpdateCommand(wxUpdateUIEvent& event) {
  using namespace addressBookId;
  const int row = selectedRow();
  switch (event.GetId()) {
    case kPasteScreenshot: event.Enable(!screenshotText().empty()); break;
    case kDelete:
    case kExport: event.Enable(row != kNoRow); break;
    case kMoveUp: event.Enable(moveUpOffered(row)); break;
    case kMoveDown: event.Enable(moveDownOffered(row, copy.entries.size())); break;
    case kUndo: event.Enable(copy.isModified()); break;
    case kConnect: {
      event.Enable(row != kNoRow && isConnectable(row));
      const wxString label = connectLabel(copy.isModified());
      if (connectButton->GetLabel() != label) connectButton->SetLabel(label);
      break;
    }
    default: event.Skip(); break;
  }
}

void AddressBookFrame::InstallPreviewExtension() {
  // The canvas asks for its extra entries each time its menu opens.
  preview->SetContextMenuExtension([this] {
    qwx::ContextMenuEntry paste;
    paste.id = addressBookId::kPasteScreenshot;
    paste.create = [](wxMenu* menu) {
      auto* item = new wxMenuItem(menu, addressBookId::kPasteScreenshot, "P&aste Screenshot", wxEmptyString);
      item->SetBitmap(wxBitmap(paste_screenshot_xpm));
      return item;
    };
    paste.appended = [this] { BindPasteCommand(); };
    return std::vector<qwx::ContextMenuEntry>{paste};
  });
}

void AddressBookFrame::BindPasteCommand() {
  if (pasteCommandBound) return;
  pasteCommandBound = true;
  Bind(wxEVT_MENU, &AddressBookFrame::OnPasteScreenshot, this, addressBookId::kPasteScreenshot);
  Bind(wxEVT_UPDATE_UI, &AddressBookFrame::OnUpdateCommand, this, addressBookId::kPasteScreenshot);
}
