// SPDX-License-Identifier: GPL-3.0-or-later
#include "addressbook/AddressBookFrame.h"

#include <wx/clrpicker.h>
#include <wx/dcclient.h>
#include <wx/valtext.h>

#include <algorithm>
#include <initializer_list>
#include <iterator>
#include <utility>

#include "addressbook/AddressBookEditing.h"
#include "app/CloseKeys.h"
#include "app/CommandIds.h"
#include "app/LocaleText.h"
#include "resources/address_book_icon.xpm"
#include "settings/Base64.h"
#include "terminal/Palette.h"

namespace {
constexpr long kFrameStyle = wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX | wxCLIP_CHILDREN | wxTAB_TRAVERSAL;
constexpr long kPanelStyle = wxTAB_TRAVERSAL | wxBORDER_NONE;
constexpr long kListStyle = wxLC_REPORT | wxLC_SINGLE_SEL | wxLC_NO_HEADER | wxLC_HRULES | wxBORDER_NONE;
// wxBU_LEFT | wxBU_AUTODRAW | 0x20, a bit buttons ignore.
constexpr long kChooserStyle = 100;
constexpr int kNameMaxLength = 96;
constexpr const char* kDigits = "0123456789";
constexpr const char* kWidestPort = "000000";
// Tall enough for five lines: the text of four line breaks.
constexpr const char* kDescriptionLines = "\n\n\n\n";
constexpr double kListFontStep = 1.2;
constexpr int kListFontSteps = 2;

constexpr std::uint64_t kPreviewScale = 1;
constexpr int kPreviewWidth = 320;
constexpr int kPreviewHeight = 200;
constexpr int kEditorExtraWidth = 40;

constexpr int kBorder = 5;
constexpr int kFrameEditorBorder = 8;
constexpr int kChooserRightBorder = 15;
constexpr int kTerminalGroupBorder = 10;
constexpr int kEchoBorder = 3;
constexpr int kPreviewBorder = 10;
constexpr int kAddressProportion = 4;
constexpr int kPortProportion = 1;

wxArrayString DigitList() {
  wxArrayString digits;
  for (const char* c = kDigits; *c; ++c) digits.Add(wxString(*c));
  return digits;
}
}  // namespace

AddressBookFrame::AddressBookFrame(wxWindow* parent)
    : wxFrame(parent, wxID_ANY, kTitle, wxDefaultPosition, wxDefaultSize, wxDEFAULT_FRAME_STYLE),
      copy(programWorkingCopy()) {
  // A close box, but no resizing, minimising or maximising.
  SetWindowStyle(kFrameStyle);
  CreateListSide();
  CreateEditor();
  LayOutFrame();
  fillList();
  // Before the row handlers exist: the stored selected index stays as it is.
  selectInitialEntry();
  BindHandlers();
  InstallPreviewExtension();
  BindUpdateRules();
  InstallAccelerators();
  SetIcon(wxIcon(address_book_icon_xpm));
  UpdateWindowUI(wxUPDATE_UI_NONE);
}

AddressBookFrame::~AddressBookFrame() = default;

AddressBookFrame* OpenAddressBook(wxWindow* mainWindow) {
  programWorkingCopy().reset(programAddressBook());
  auto* frame = new AddressBookFrame(mainWindow);
  frame->Show(true);
  return frame;
}

// ---- Construction -------------------------------------------------------

void AddressBookFrame::CreateListSide() {
  listPanel = new wxPanel(this, wxID_ANY, wxDefaultPosition, wxDefaultSize, kPanelStyle);
  list = new wxListCtrl(listPanel, addressBookId::kList, wxDefaultPosition, wxDefaultSize, kListStyle);
  list->InsertColumn(0, "Name", wxLIST_FORMAT_LEFT, -1);
  deleteButton = new wxButton(listPanel, addressBookId::kDelete, "Delete", wxDefaultPosition, wxDefaultSize,
                              wxBU_EXACTFIT);
  exportButton = new wxButton(listPanel, addressBookId::kExport, "Export", wxDefaultPosition, wxDefaultSize,
                              wxBU_EXACTFIT);
  importButton = new wxButton(listPanel, addressBookId::kImport, "Import", wxDefaultPosition, wxDefaultSize,
                              wxBU_EXACTFIT);
  newButton = new wxButton(listPanel, addressBookId::kNew, "New", wxDefaultPosition, wxDefaultSize, wxBU_EXACTFIT);
}

wxStaticText* AddressBookFrame::CreateLabel(const wxString& text, long style) {
  auto* label = new wxStaticText(editorPanel, wxID_ANY, text, wxDefaultPosition, wxDefaultSize, style);
  label->Wrap(-1);
  return label;
}

void AddressBookFrame::CreateEditor() {
  editorPanel = new wxPanel(this, wxID_ANY, wxDefaultPosition, wxDefaultSize, kPanelStyle);
  nameLabel = CreateLabel("Name");
  nameField = new wxTextCtrl(editorPanel, addressBookId::kName, wxEmptyString, wxDefaultPosition, wxDefaultSize,
                             wxTE_PROCESS_ENTER);
  nameField->SetMaxLength(kNameMaxLength);
  descriptionLabel = CreateLabel("Description");
  descriptionField = new wxTextCtrl(editorPanel, addressBookId::kDescription, wxEmptyString, wxDefaultPosition,
                                    wxDefaultSize, wxTE_MULTILINE);
  addressLabel = CreateLabel("Address");
  addressField = new wxTextCtrl(editorPanel, addressBookId::kAddress, wxEmptyString, wxDefaultPosition,
                                wxDefaultSize, wxTE_PROCESS_ENTER);
  portLabel = CreateLabel("Port");
  // Only digits can be typed; pasted text may still hold other forms.
  wxTextValidator digitsOnly(wxFILTER_INCLUDE_CHAR_LIST);
  digitsOnly.SetIncludes(DigitList());
  portField = new wxTextCtrl(editorPanel, addressBookId::kPort, wxEmptyString, wxDefaultPosition, wxDefaultSize,
                             wxTE_PROCESS_ENTER, digitsOnly);
  // Wide enough for any port, leaving room for the Telnet option beside it.
  portField->SetInitialSize(portField->GetSizeFromTextSize(portField->GetTextExtent(kWidestPort).x));
  telnetBox = new wxCheckBox(editorPanel, addressBookId::kTelnet, "Telnet");

  const auto makeChooser = [this](int id) {
    auto* chooser = new qwx::wxColor16ChooserButton(editorPanel, id, wxDefaultPosition, wxDefaultSize,
                                                    kChooserStyle, wxDefaultValidator, wxColourPickerWidgetNameStr);
    chooser->SetPalette(&LivePalette());
    chooser->SetColourIndex(0);
    return chooser;
  };
  backgroundLabel = CreateLabel("Background:", wxALIGN_RIGHT);
  backgroundChooser = makeChooser(addressBookId::kBackground);
  foregroundLabel = CreateLabel("Foreground:", wxALIGN_RIGHT);
  foregroundChooser = makeChooser(addressBookId::kForeground);

  echoBox = new wxCheckBox(editorPanel, addressBookId::kEcho, "Local Echo");
  columns40 = new wxRadioButton(editorPanel, addressBookId::kColumns40, "40", wxDefaultPosition, wxDefaultSize,
                                wxRB_GROUP);
  columns40->SetValue(true);
  columns80 = new wxRadioButton(editorPanel, addressBookId::kColumns80, "80");
  lineSpeedLabel = CreateLabel("Line speed:");
  lineSpeedChoice = new wxChoice(editorPanel, addressBookId::kLineSpeed);
  for (const std::uint32_t speed : kLineSpeeds) lineSpeedChoice->Append(lineSpeedText(speed));
  lineSpeedChoice->SetSelection(0);

  preview = new qwx::wxPetsciiScrolledCanvas(
      editorPanel, previewTerminal, kPreviewScale,
      wxSize(qwx::wxPetsciiScrolledCanvas::kDefaultColumns, qwx::wxPetsciiScrolledCanvas::kDefaultRows));
  preview->palette = &LivePalette();
  preview->offerScreenshot = false;
  // A fixed 40 x 25 picture: no scrolling, no keys of its own.
  preview->SetWindowStyleFlag(0);
  preview->ShowScrollbars(wxSHOW_SB_NEVER, wxSHOW_SB_NEVER);
  preview->SetSize(kPreviewWidth, kPreviewHeight);
  preview->SetScale(kPreviewScale);

  undoButton = new wxButton(editorPanel, addressBookId::kUndo, "Undo", wxDefaultPosition, wxDefaultSize, 0);
  connectButton = new wxButton(editorPanel, addressBookId::kConnect, "Save && Connect", wxDefaultPosition,
                               wxDefaultSize, wxBU_EXACTFIT);
}

void AddressBookFrame::LayOutListSide() {
  auto* sizer = new wxBoxSizer(wxVERTICAL);
  // Stretched both ways; centring would add nothing (and the toolkit rejects
  // alignment flags next to wxEXPAND).
  sizer->Add(list, 1, wxEXPAND, kBorder);
  listButtons = new wxBoxSizer(wxHORIZONTAL);
  for (wxButton* button : {deleteButton, exportButton, importButton, newButton})
    listButtons->Add(button, 0, wxALL, kBorder);
  sizer->Add(listButtons, 0, wxEXPAND, 0);
  // Never wider than the buttons under it.
  list->SetMaxSize(wxSize(listButtons->GetMinSize().x, -1));
  listPanel->SetSizer(sizer);
  listPanel->Layout();
  sizer->Fit(listPanel);
}

void AddressBookFrame::LayOutEditor() {
  auto* sizer = new wxBoxSizer(wxVERTICAL);
  const auto labelledField = [&](wxStaticText* label, wxTextCtrl* field) {
    auto* group = new wxBoxSizer(wxVERTICAL);
    group->Add(label, 0, wxLEFT | wxTOP, kBorder);
    group->Add(field, 0, wxEXPAND | wxLEFT, kBorder);
    sizer->Add(group, 0, wxEXPAND | wxLEFT | wxRIGHT, kBorder);
  };
  labelledField(nameLabel, nameField);
  labelledField(descriptionLabel, descriptionField);
  {
    wxWindowDC dc(descriptionField);
    dc.SetFont(descriptionField->GetFont());
    wxCoord width = 0, height = 0;
    dc.GetMultiLineTextExtent(kDescriptionLines, &width, &height);
    descriptionField->SetMinSize(wxSize(-1, height));
  }

  auto* addressRow = new wxBoxSizer(wxHORIZONTAL);
  auto* addressGroup = new wxBoxSizer(wxVERTICAL);
  addressGroup->Add(addressLabel, 0, wxLEFT | wxTOP, kBorder);
  addressGroup->Add(addressField, 0, wxEXPAND | wxLEFT | wxRIGHT, kBorder);
  addressRow->Add(addressGroup, kAddressProportion, wxEXPAND, kBorder);
  auto* portGroup = new wxBoxSizer(wxVERTICAL);
  portGroup->Add(portLabel, 0, wxLEFT | wxTOP, kBorder);
  // The board's line: the port, and whether a telnet server answers on it.
  auto* portLine = new wxBoxSizer(wxHORIZONTAL);
  portLine->Add(portField, 0, wxALIGN_CENTER_VERTICAL | wxLEFT, kBorder);
  portLine->Add(telnetBox, 0, wxALIGN_CENTER_VERTICAL | wxLEFT | wxRIGHT, kBorder);
  portGroup->Add(portLine, 0, 0, 0);
  addressRow->Add(portGroup, kPortProportion, wxEXPAND, kBorder);
  sizer->Add(addressRow, 0, wxEXPAND | wxLEFT | wxRIGHT, kBorder);

  auto* optionsRow = new wxBoxSizer(wxHORIZONTAL);
  auto* colourGroup = new wxBoxSizer(wxVERTICAL);
  for (auto [label, chooser] : {std::pair<wxStaticText*, wxWindow*>{backgroundLabel, backgroundChooser},
                                std::pair<wxStaticText*, wxWindow*>{foregroundLabel, foregroundChooser}}) {
    auto* line = new wxBoxSizer(wxHORIZONTAL);
    line->Add(label, 1, wxALIGN_CENTER_VERTICAL | wxLEFT | wxRIGHT, kBorder);
    line->Add(chooser, 0, wxRIGHT, kChooserRightBorder);
    colourGroup->Add(line, 1, wxALIGN_RIGHT, kBorder);
  }
  optionsRow->Add(colourGroup, 1, wxRIGHT, kBorder);
  auto* terminalGroup = new wxBoxSizer(wxVERTICAL);
  terminalGroup->Add(echoBox, 1, wxEXPAND | wxTOP | wxBOTTOM, kEchoBorder);
  auto* columnsLine = new wxBoxSizer(wxHORIZONTAL);
  columnsLine->Add(columns40, 0, wxTOP | wxBOTTOM, kBorder);
  columnsLine->Add(columns80, 0, wxTOP | wxBOTTOM, kBorder);
  terminalGroup->Add(columnsLine, 0, wxEXPAND, kBorder);
  auto* speedLine = new wxBoxSizer(wxHORIZONTAL);
  speedLine->Add(lineSpeedLabel, 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, kBorder);
  speedLine->Add(lineSpeedChoice, 0, 0, 0);
  terminalGroup->Add(speedLine, 0, wxEXPAND | wxBOTTOM, kEchoBorder);
  optionsRow->Add(terminalGroup, 1, wxLEFT, kTerminalGroupBorder);
  sizer->Add(optionsRow, 0, wxEXPAND | wxLEFT | wxRIGHT | wxTOP, kBorder);

  // Empty space above and below keeps the preview centred.
  auto* previewGroup = new wxBoxSizer(wxVERTICAL);
  previewGroup->Add(0, 0, 1, wxEXPAND, kBorder);
  previewGroup->Add(preview, 0, wxALL | wxALIGN_CENTRE, kPreviewBorder);
  previewGroup->Add(0, 0, 1, wxEXPAND, kBorder);
  sizer->Add(previewGroup, 1, wxEXPAND, kBorder);

  auto* buttons = new wxBoxSizer(wxHORIZONTAL);
  buttons->Add(undoButton, 0, wxALL, kBorder);
  buttons->Add(connectButton, 0, wxALL, kBorder);
  sizer->Add(buttons, 0, wxALIGN_RIGHT, kBorder);

  editorPanel->SetMinSize(wxSize(preview->GetMinSize().x + kEditorExtraWidth, -1));
  editorPanel->SetSizer(sizer);
  editorPanel->Layout();
  sizer->Fit(editorPanel);
}

void AddressBookFrame::LayOutFrame() {
  LayOutListSide();
  LayOutEditor();
  wxFont font = list->GetFont();
  for (int i = 0; i < kListFontSteps; ++i) font.Scale(kListFontStep);
  list->SetFont(font);

  auto* sizer = new wxBoxSizer(wxHORIZONTAL);
  sizer->Add(listPanel, 0, wxEXPAND, kBorder);
  sizer->Add(editorPanel, 1, wxEXPAND, kFrameEditorBorder);
  SetSizerAndFit(sizer);
  Layout();
  Centre(wxBOTH);
}

void AddressBookFrame::BindHandlers() {
  using namespace addressBookId;
  Bind(wxEVT_BUTTON, &AddressBookFrame::OnDelete, this, kDelete);
  Bind(wxEVT_BUTTON, &AddressBookFrame::OnImport, this, kImport);
  Bind(wxEVT_BUTTON, &AddressBookFrame::OnExport, this, kExport);
  Bind(wxEVT_BUTTON, &AddressBookFrame::OnNew, this, kNew);
  Bind(wxEVT_LIST_ITEM_SELECTED, &AddressBookFrame::OnRowSelected, this, kList);
  Bind(wxEVT_LIST_ITEM_DESELECTED, &AddressBookFrame::OnRowDeselected, this, kList);
  Bind(wxEVT_LIST_ITEM_ACTIVATED, [this](wxListEvent&) { ConnectToSelected(); }, kList);
  Bind(wxEVT_TEXT, &AddressBookFrame::OnNameChanged, this, kName);
  Bind(wxEVT_TEXT, &AddressBookFrame::OnDescriptionChanged, this, kDescription);
  Bind(wxEVT_TEXT, &AddressBookFrame::OnAddressChanged, this, kAddress);
  Bind(wxEVT_TEXT, &AddressBookFrame::OnPortChanged, this, kPort);
  Bind(wxEVT_COLOR16_CHOSEN, &AddressBookFrame::OnBackgroundChosen, this, kBackground);
  Bind(wxEVT_COLOR16_CHOSEN, &AddressBookFrame::OnForegroundChosen, this, kForeground);
  Bind(wxEVT_CHECKBOX, &AddressBookFrame::OnEchoChanged, this, kEcho);
  Bind(wxEVT_CHECKBOX, &AddressBookFrame::OnTelnetChanged, this, kTelnet);
  Bind(wxEVT_RADIOBUTTON, [this](wxCommandEvent&) { OnColumnsChanged(kNarrowColumns); }, kColumns40);
  Bind(wxEVT_RADIOBUTTON, [this](wxCommandEvent&) { OnColumnsChanged(kWideColumns); }, kColumns80);
  Bind(wxEVT_CHOICE, &AddressBookFrame::OnLineSpeedChosen, this, kLineSpeed);
  Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { ConnectToSelected(); }, kConnect);
  Bind(wxEVT_BUTTON, &AddressBookFrame::OnUndo, this, kUndo);
  list->Bind(wxEVT_CONTEXT_MENU, &AddressBookFrame::OnListContextMenu, this, kList);
  Bind(wxEVT_LIST_ITEM_RIGHT_CLICK, [](wxListEvent& event) { event.StopPropagation(); }, kList);
  Bind(wxEVT_MENU, &AddressBookFrame::OnMoveUp, this, kMoveUp);
  Bind(wxEVT_MENU, &AddressBookFrame::OnMoveDown, this, kMoveDown);
  Bind(wxEVT_CLOSE_WINDOW, &AddressBookFrame::OnClose, this);
}

void AddressBookFrame::BindUpdateRules() {
  using namespace addressBookId;
  for (int id : {kDelete, kExport, kImport, kNew, kConnect, kUndo, kMoveUp, kMoveDown})
    Bind(wxEVT_UPDATE_UI, &AddressBookFrame::OnUpdateCommand, this, id);
}

void AddressBookFrame::InstallAccelerators() {
  wxAcceleratorEntry moves[] = {
      wxAcceleratorEntry(wxACCEL_ALT, WXK_UP, addressBookId::kMoveUp),
      wxAcceleratorEntry(wxACCEL_ALT, WXK_DOWN, addressBookId::kMoveDown),
  };
  list->SetAcceleratorTable(wxAcceleratorTable(static_cast<int>(std::size(moves)), moves));
  InstallCloseKeys(*this);
}

// ---- List and editor ----------------------------------------------------

int AddressBookFrame::selectedRow() const {
  return static_cast<int>(list->GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED));
}

void AddressBookFrame::selectRow(int row) {
  const long state = wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED;
  list->SetItemState(row, state, state);
  list->Update();
}

bool AddressBookFrame::isConnectable(int row) const { return ::isConnectable(copy.entries, row); }

void AddressBookFrame::enableEditor(bool on) {
  for (wxWindow* control : std::initializer_list<wxWindow*>{
           nameField, nameLabel, descriptionField, descriptionLabel, addressField, addressLabel, backgroundChooser,
           backgroundLabel, foregroundChooser, foregroundLabel, portField, portLabel, telnetBox, echoBox,
           lineSpeedChoice, lineSpeedLabel})
    control->Enable(on);
  // The terminal stays at 40 columns: the count is shown, never edited here.
  columns40->Enable(false);
  columns80->Enable(false);
}

void AddressBookFrame::clearEditor() {
  for (wxTextCtrl* field : {nameField, descriptionField, addressField, portField}) field->ChangeValue(wxEmptyString);
  foregroundChooser->SetColourIndex(0);
  backgroundChooser->SetColourIndex(0);
  echoBox->SetValue(false);
  telnetBox->SetValue(false);
  columns40->SetValue(true);
  columns80->SetValue(false);
  lineSpeedChoice->SetSelection(0);
  ShowScreenshot(std::string());
}

void AddressBookFrame::loadEntry(std::size_t row) {
  if (row >= copy.entries.size()) {
    enableEditor(false);
    return;
  }
  const AddressBookEntry entry = copy.entries[row];
  nameField->ChangeValue(FromByteString(entry.name));
  descriptionField->ChangeValue(FromByteString(entry.description));
  addressField->ChangeValue(FromByteString(entry.address));
  portField->ChangeValue(wxString::Format("%d", static_cast<int>(entry.port)));
  foregroundChooser->SetColourIndex(shownColour(entry.foreground));
  backgroundChooser->SetColourIndex(shownColour(entry.background));
  echoBox->SetValue(entry.echo);
  telnetBox->SetValue(entry.telnet);
  columns40->SetValue(entry.columns == kNarrowColumns);
  columns80->SetValue(entry.columns == kWideColumns);
  lineSpeedChoice->SetSelection(static_cast<int>(lineSpeedIndex(entry.lineSpeed)));
  ShowScreenshot(entry.screenshot);
}

void AddressBookFrame::ShowScreenshot(const std::string& base64) {
  preview->LoadBytes(base64.empty() ? ByteBuffer() : base64Decode(base64));
  preview->ProcessPending();
  preview->Refresh(true);
}

void AddressBookFrame::fillList() {
  list->DeleteAllItems();
  list->SetColumnWidth(0, wxLIST_AUTOSIZE_USEHEADER);
  const int headerWidth = list->GetColumnWidth(0);
  for (std::size_t i = 0; i < copy.entries.size(); ++i) {
    list->InsertItem(static_cast<long>(i), FromByteString(copy.entries[i].name));
    list->SetColumnWidth(0, wxLIST_AUTOSIZE);
    list->SetColumnWidth(0, std::max(headerWidth, list->GetColumnWidth(0)));
  }
}

void AddressBookFrame::selectInitialEntry() {
  const int row = initialRow(static_cast<std::size_t>(list->GetItemCount()), programAddressBook().selectedIndex,
                             static_cast<int>(list->GetTopItem()));
  if (row == kNoRow) {
    // After Undo to an empty book the fields still hold the last entry.
    clearEditor();
    enableEditor(false);
    return;
  }
  selectRow(row);
  loadEntry(static_cast<std::size_t>(row));
  enableEditor(true);
}

AddressBookEntry* AddressBookFrame::SelectedEntry() {
  const int row = selectedRow();
  if (row == kNoRow || static_cast<std::size_t>(row) >= copy.entries.size()) return nullptr;
  return &copy.entries[static_cast<std::size_t>(row)];
}

// ---- Row and field handlers ---------------------------------------------

void AddressBookFrame::OnRowSelected(wxListEvent&) {
  const int row = selectedRow();
  if (row == kNoRow) return;
  programAddressBook().selectedIndex = row;
  loadEntry(static_cast<std::size_t>(row));
  enableEditor(true);
}

void AddressBookFrame::OnRowDeselected(wxListEvent&) {
  // Moving the selection deselects the old row first.
  if (selectedRow() != kNoRow) return;
  programAddressBook().selectedIndex = kNoEntrySelected;
  clearEditor();
  enableEditor(false);
}

void AddressBookFrame::OnNameChanged(wxCommandEvent&) {
  AddressBookEntry* entry = SelectedEntry();
  if (!entry) return;
  entry->name = ToByteString(nameField->GetValue());
  list->SetItemText(selectedRow(), nameField->GetValue());
  list->Update();
}

void AddressBookFrame::OnDescriptionChanged(wxCommandEvent&) {
  if (AddressBookEntry* entry = SelectedEntry()) entry->description = ToByteString(descriptionField->GetValue());
}

void AddressBookFrame::OnAddressChanged(wxCommandEvent&) {
  if (AddressBookEntry* entry = SelectedEntry()) entry->address = ToByteString(addressField->GetValue());
}

void AddressBookFrame::OnPortChanged(wxCommandEvent&) {
  AddressBookEntry* entry = SelectedEntry();
  if (entry) entry->port = portFromText(ToByteString(portField->GetValue()), entry->port);
}

void AddressBookFrame::OnBackgroundChosen(wxCommandEvent& event) {
  if (AddressBookEntry* entry = SelectedEntry()) entry->background = storedColour(event.GetInt());
}

void AddressBookFrame::OnForegroundChosen(wxCommandEvent& event) {
  if (AddressBookEntry* entry = SelectedEntry()) entry->foreground = storedColour(event.GetInt());
}

void AddressBookFrame::OnEchoChanged(wxCommandEvent&) {
  if (AddressBookEntry* entry = SelectedEntry()) entry->echo = echoBox->GetValue();
}

void AddressBookFrame::OnTelnetChanged(wxCommandEvent&) {
  if (AddressBookEntry* entry = SelectedEntry()) entry->telnet = telnetBox->GetValue();
}

void AddressBookFrame::OnColumnsChanged(std::uint64_t columns) {
  if (AddressBookEntry* entry = SelectedEntry()) entry->columns = columns;
}

void AddressBookFrame::OnLineSpeedChosen(wxCommandEvent& event) {
  const int chosen = event.GetSelection();
  AddressBookEntry* entry = SelectedEntry();
  if (entry && chosen >= 0 && static_cast<std::size_t>(chosen) < kLineSpeeds.size())
    entry->lineSpeed = kLineSpeeds[static_cast<std::size_t>(chosen)];
}
