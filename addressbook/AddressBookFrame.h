// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The address book window: the entries by name on the left, the selected
// entry's editor and screenshot preview on the right. It edits the
// program's working copy; the stored book changes only when the user
// connects with changes pending or agrees to save on closing. Connecting
// is left to the parent, which gets the entry's index in a posted event.
#include <wx/listctrl.h>
#include <wx/wx.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "addressbook/AddressBookEvents.h"
#include "addressbook/AddressBookPrompts.h"
#include "addressbook/AddressBookWorkingCopy.h"
#include "addressbook/wxColor16ChooserButton.h"
#include "terminal/wxPetsciiScrolledCanvas.h"

class AddressBookFrame : public wxFrame {
 public:
  // The main window finds an open address book window by this title.
  static constexpr const char* kTitle = "Address Book";

  // The caller resets the program's working copy first.
  explicit AddressBookFrame(wxWindow* parent);
  ~AddressBookFrame() override;

  // The close question and the file dialogs; tests answer them.
  AddressBookPrompts prompts;

  qwx::wxPetsciiScrolledCanvas* Preview() const { return preview; }

 private:
  void CreateListSide();
  void CreateEditor();
  wxStaticText* CreateLabel(const wxString& text, long style = 0);
  void LayOutListSide();
  void LayOutEditor();
  void LayOutFrame();
  void BindHandlers();
  void InstallPreviewExtension();
  void BindUpdateRules();
  void InstallAccelerators();

  // Editor and list operations shared by the handlers.
  int selectedRow() const;
  void selectRow(int row);
  bool isConnectable(int row) const;
  void enableEditor(bool on);
  void clearEditor();
  void loadEntry(std::size_t row);
  void fillList();
  void selectInitialEntry();
  void ShowScreenshot(const std::string& base64);
  AddressBookEntry* SelectedEntry();
  void Commit();

  // Rows and fields.
  void OnRowSelected(wxListEvent& event);
  void OnRowDeselected(wxListEvent& event);
  void OnNameChanged(wxCommandEvent& event);
  void OnDescriptionChanged(wxCommandEvent& event);
  void OnAddressChanged(wxCommandEvent& event);
  void OnPortChanged(wxCommandEvent& event);
  void OnBackgroundChosen(wxCommandEvent& event);
  void OnForegroundChosen(wxCommandEvent& event);
  void OnEchoChanged(wxCommandEvent& event);
  void OnTelnetChanged(wxCommandEvent& event);
  void OnColumnsChanged(std::uint64_t columns);
  void OnLineSpeedChosen(wxCommandEvent& event);

  // Commands.
  void OnNew(wxCommandEvent& event);
  void OnDelete(wxCommandEvent& event);
  void OnMoveUp(wxCommandEvent& event);
  void OnMoveDown(wxCommandEvent& event);
  void OnListContextMenu(wxContextMenuEvent& event);
  void OnUndo(wxCommandEvent& event);
  void OnPasteScreenshot(wxCommandEvent& event);
  void OnExport(wxCommandEvent& event);
  void OnImport(wxCommandEvent& event);
  void ConnectToSelected();  // the connect button and row activation
  void OnClose(wxCloseEvent& event);
  void OnUpdateCommand(wxUpdateUIEvent& event);
  void BindPasteCommand();
  void SwapListTexts(int first, int second);

  AddressBookWorkingCopy& copy;
  bool pasteCommandBound = false;

  wxPanel* listPanel = nullptr;
  wxListCtrl* list = nullptr;
  wxButton* deleteButton = nullptr;
  wxButton* exportButton = nullptr;
  wxButton* importButton = nullptr;
  wxButton* newButton = nullptr;
  wxBoxSizer* listButtons = nullptr;

  wxPanel* editorPanel = nullptr;
  wxStaticText* nameLabel = nullptr;
  wxTextCtrl* nameField = nullptr;
  wxStaticText* descriptionLabel = nullptr;
  wxTextCtrl* descriptionField = nullptr;
  wxStaticText* addressLabel = nullptr;
  wxTextCtrl* addressField = nullptr;
  wxStaticText* portLabel = nullptr;
  wxTextCtrl* portField = nullptr;
  wxCheckBox* telnetBox = nullptr;
  wxStaticText* backgroundLabel = nullptr;
  qwx::wxColor16ChooserButton* backgroundChooser = nullptr;
  wxStaticText* foregroundLabel = nullptr;
  qwx::wxColor16ChooserButton* foregroundChooser = nullptr;
  wxCheckBox* echoBox = nullptr;
  wxRadioButton* columns40 = nullptr;
  wxRadioButton* columns80 = nullptr;
  wxStaticText* lineSpeedLabel = nullptr;
  wxChoice* lineSpeedChoice = nullptr;
  PetsciiTerminal previewTerminal;  // what the preview shows
  qwx::wxPetsciiScrolledCanvas* preview = nullptr;
  wxButton* undoButton = nullptr;
  wxButton* connectButton = nullptr;
};

// The main window's Connect command: starts the working copy from the
// stored book and shows the window. The window goes by itself.
AddressBookFrame* OpenAddressBook(wxWindow* mainWindow);
