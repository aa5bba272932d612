#include "app/MorlenFrame.h"

#include <wx/display.h>

#include "app/CommandIds.h"
#include "app/ProductInfo.h"
#include "app/ProgramValues.h"
#include "app/ReplayFrame.h"
#include "app/wxMainStatusBar.h"
#include "addressbook/AddressBookFrame.h"
#include "keyboard/wxKeymapFactory.h"
#include "resources/morlen_icon.xpm"
#include "settings/Base64.h"
#include "settings/Settings.h"
#include "terminal/Palette.h"

namespace {
constexpr int kStatusFields = 5;
constexpr int kMessageField = 0;
constexpr int kTrafficField = 1;
constexpr int kActiveField = 2;
static_assert(kMessageField == static_cast<int>(StatusField::Message) &&
              kTrafficField == static_cast<int>(StatusField::Traffic) &&
              kActiveField == static_cast<int>(StatusField::ActiveSession));
constexpr int kBufferField = 3;
constexpr int kSizeField = 4;
constexpr const char* kSizeFieldStart = "40x25";
// The bar leaves 2 pixels of margin either side of a field's text; one
// more keeps a text of exactly the width from being cut.
constexpr int kStatusTextMargin = 3;
// The longest texts the fields are sized for; 'N' stands for the widest
// digit. Counts may run to ten digits, rows to three.
constexpr const char* kLongMessages[] = {
    "Disconnected (connection dropped)",
    "Xmodem receive failed (too many errors)",
    "Xmodem sending: NNNNNNNNNN bytes left",
};
constexpr const char* kLongestTraffic = "Rx: NNNNNNNNNN | Tx: NNNNNNNNNN";
constexpr const char* kLongestActive = "Active: NNNNNNNNNN";
constexpr const char* kLongestBuffer = "Buffer: NNNNNNNNNN";
constexpr const char* kLongestSize = "40:NNN";
constexpr std::uint64_t kRowsCommandRows = 25;
// The address book window is found by its title.
constexpr const char* kAddressBookTitle = "Address Book";

struct ScaleCommand {
  int id;
  int scale;
  int displayWidth;   // the display's client area must be wider ...
  int displayHeight;  // ... and taller than this; 0: always offered
};
constexpr ScaleCommand kScaleCommands[] = {
    {command::kScale1, 1, 0, 0},       {command::kScale2, 2, 0, 0},       {command::kScale3, 3, 960, 600},
    {command::kScale5, 5, 1600, 1000}, {command::kScale8, 8, 2560, 1600},
};

// The menu items' accelerators, which run their command while it is enabled.
struct Accelerator {
  int keyCode;
  int id;
};
constexpr Accelerator kAccelerators[] = {
    {WXK_F7, command::kConnect},
    {WXK_F3, command::kPunterReceive},
    {WXK_F1, command::kXmodemSend},
    {WXK_F4, command::kViewBuffer},
};

wxString Title() { return wxString::Format("%s v%s/%s", productName, productVersion, vendorName); }
}  // namespace

MorlenFrame::MorlenFrame() : wxFrame(nullptr, wxID_ANY, Title()), keymap(qwx::MakeKeymap(kPositionalKeyboardMap)) {
  CreateStatusFields();
  CreateMenus();

  panel = new wxPanel(this, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxTAB_TRAVERSAL | wxBORDER_NONE);
  canvas = new qwx::wxPetsciiScrolledCanvas(panel, terminal,
                                            static_cast<std::uint64_t>(programSettings().petsciiScale),
                                            wxSize(qwx::wxPetsciiScrolledCanvas::kDefaultColumns,
                                                   qwx::wxPetsciiScrolledCanvas::kDefaultRows));
  canvas->palette = &LivePalette();
  FitStatusBar();
  auto* frameSizer = new wxBoxSizer(wxVERTICAL);
  frameSizer->Add(panel, 1, wxEXPAND);
  auto* panelSizer = new wxBoxSizer(wxVERTICAL);
  panelSizer->Add(canvas, 1, wxEXPAND);
  panel->SetSizer(panelSizer);
  SetSizer(frameSizer);

  sessionScreen = std::make_unique<CanvasSessionScreen>(*canvas);
  session = std::make_unique<TerminalSession>(statusSink, *sessionScreen, welcomeScreen());
  CreateTransfers();
  canvas->LoadBytes(session->ActiveSession());
  canvas->ProcessPending();
  UpdateBufferStatus();

  frameSizer->SetSizeHints(this);
  SetWidthLimits();
  Fit();

  readBuffer.resize(kReadBufferSize);
  SetIcon(wxIcon(morlen_icon_xpm));
  canvas->showCursor = true;
  displayScale() = wxGetDisplayPPI().y / 96.0;
  SetKeymap(programSettings().keyboardMap);
  // The main window's own accelerator: Alt+C copies the canvas's selection
  // as ASCII, as its context menu shows beside that item.
  wxAcceleratorEntry copy(wxACCEL_ALT, 'C', wxID_COPY);
  SetAcceleratorTable(wxAcceleratorTable(1, &copy));

  Bind(wxEVT_UPDATE_UI, &MorlenFrame::OnUpdateCommand, this, command::kConnect, command::kReplaySimulated);
  Bind(wxEVT_UPDATE_UI, &MorlenFrame::OnUpdateCommand, this, command::kScale1, command::kScale8);
  Bind(wxEVT_UPDATE_UI, &MorlenFrame::OnUpdateCommand, this, command::kRows25);
  Bind(wxEVT_UPDATE_UI, &MorlenFrame::OnUpdateCommand, this, command::kXmodemSend, command::kPromptAfterReceive);
  for (const ScaleCommand& s : kScaleCommands)
    Bind(wxEVT_MENU, [this, scale = s.scale](wxCommandEvent&) { OnScaleCommand(scale); }, s.id);
  Bind(wxEVT_MENU, [this](wxCommandEvent&) { OnRowsCommand(); }, command::kRows25);
  Bind(wxEVT_MENU, [this](wxCommandEvent&) { SetKeymap(kPositionalKeyboardMap); }, command::kPositionalKeymap);
  Bind(wxEVT_MENU, [this](wxCommandEvent&) { SetKeymap(kHybridKeyboardMap); }, command::kHybridKeymap);
  Bind(wxEVT_MENU, [this](wxCommandEvent&) { OnExitCommand(); }, wxID_EXIT);
  Bind(wxEVT_MENU, [this](wxCommandEvent&) { canvas->CopyAsAscii(); }, wxID_COPY);
  Bind(wxEVT_MENU, [this](wxCommandEvent&) { OnStash(); }, command::kStash);
  Bind(wxEVT_MENU, [this](wxCommandEvent&) { OnLoadBuffer(); }, command::kLoadBuffer);
  Bind(wxEVT_MENU, [this](wxCommandEvent&) { OnSaveBuffer(); }, command::kSaveBuffer);
  Bind(wxEVT_PETSCII_CANVAS_RESIZED, &MorlenFrame::OnCanvasResized, this);
  Bind(wxEVT_PETSCII_CANVAS_SCREENSHOT, &MorlenFrame::OnCanvasScreenshot, this);
  Bind(wxEVT_ADDRESS_BOOK_CONNECT, &MorlenFrame::OnConnectRequest, this);
  Bind(wxEVT_SOCKET, &MorlenFrame::OnSocketEvent, this);
  Bind(wxEVT_CLOSE_WINDOW, &MorlenFrame::OnClose, this);
  Bind(wxEVT_MENU, [this](wxCommandEvent&) { OnConnectCommand(); }, command::kConnect);
  Bind(wxEVT_MENU, [this](wxCommandEvent&) { OnDisconnectCommand(); }, command::kDisconnect);
  BindWhileEnabled(command::kViewBuffer, [this] { OpenBufferWindow(this, &storedBuffer, ReplayMode::View); });
  Bind(wxEVT_MENU, [this](wxCommandEvent&) { OpenBufferWindow(this, &storedBuffer, ReplayMode::Scrolled); },
       command::kReplayScrolled);
  Bind(wxEVT_MENU, [this](wxCommandEvent&) { OpenBufferWindow(this, &storedBuffer, ReplayMode::Simulated); },
       command::kReplaySimulated);
  // Keys the focused window leaves unhandled end at the application.
  wxTheApp->Bind(wxEVT_KEY_DOWN, &MorlenFrame::OnKey, this);
  wxTheApp->Bind(wxEVT_KEY_UP, &MorlenFrame::OnKey, this);
  BindHelpCommands();
  BindTransferCommands();
  if (programSettings().autoCheckForUpdate) StartUpdateCheck();
}

MorlenFrame::~MorlenFrame() {
  wxTheApp->Unbind(wxEVT_KEY_DOWN, &MorlenFrame::OnKey, this);
  wxTheApp->Unbind(wxEVT_KEY_UP, &MorlenFrame::OnKey, this);
}

wxStatusBar* MorlenFrame::OnCreateStatusBar(int number, long style, wxWindowID id, const wxString& name) {
  auto* bar = new qwx::wxMainStatusBar(this, id, style, name);
  bar->SetFieldsCount(number);
  return bar;
}

void MorlenFrame::CreateStatusFields() {
  wxStatusBar* bar = CreateStatusBar(kStatusFields, wxSTB_DEFAULT_STYLE & ~wxSTB_SIZEGRIP);
  const wxString startMessage = wxString::Format("%s v%s", productName, productVersion);
  // Each field is as wide as its longest text in the bar's font, plus the
  // field's own margins, which would otherwise cut it to an ellipsis.
  wxString widestDigit = "0";
  for (char digit = '1'; digit <= '9'; ++digit)
    if (bar->GetTextExtent(wxString(digit)).x > bar->GetTextExtent(widestDigit).x) widestDigit = wxString(digit);
  const auto need = [&](wxString text) {
    text.Replace("N", widestDigit);
    return bar->GetTextExtent(text).x + 2 * kStatusTextMargin;
  };
  statusbar::FieldNeeds needs;
  for (const char* message : kLongMessages) needs.message = std::max(needs.message, need(message));
  needs.shortMessage = need(startMessage);
  needs.traffic = need(kLongestTraffic);
  needs.active = need(kLongestActive);
  needs.buffer = need(kLongestBuffer);
  needs.size = need(kLongestSize);
  StatusBar().SetFieldNeeds(needs);
  SetStatusText(startMessage, kMessageField);
  SetStatusText("Rx: 0 | Tx: 0", kTrafficField);
  SetStatusText("Active: ", kActiveField);
  SetStatusText("Stored: ", kBufferField);
  SetStatusText(kSizeFieldStart, kSizeField);
}

void MorlenFrame::CreateMenus() {
  auto* keyboard = new wxMenu;
  keyboard->AppendRadioItem(command::kPositionalKeymap, "Positional", "Use a positional (VICE) keymap");
  keyboard->AppendRadioItem(command::kHybridKeymap, "Hybrid", "Use a hybrid symbolic keymap");

  auto* terminal = new wxMenu;
  terminal->Append(command::kConnect, "&Connect...\tF7", "Connect to remote host");
  terminal->Append(command::kDisconnect, "&Disconnect", "Disconnect from remote host");
  terminal->AppendSeparator();
  terminal->Append(command::kKeyboardMenu, "Keyboard", keyboard);
  terminal->AppendSeparator();
  terminal->Append(wxID_EXIT, "", "");

  auto* view = new wxMenu;
  view->AppendRadioItem(command::kScale1, "Scale &1x", "Display at 1x scale");
  view->AppendRadioItem(command::kScale2, "Scale &2x", "Display at 2x scale");
  view->AppendRadioItem(command::kScale3, "Scale &3x", "Display at 3x scale");
  view->AppendRadioItem(command::kScale5, "Scale &5x", "Display at 5x scale");
  view->AppendRadioItem(command::kScale8, "Scale &8x", "Display at 8x scale");
  view->AppendSeparator();
  view->Append(command::kRows25, "25 rows", "Display with 25 rows");

  auto* transfer = new wxMenu;
  transfer->Append(command::kXmodemReceive, "Xmodem Receive", "Receive a file using Xmodem");
  transfer->Append(command::kPunterReceive, "Punter Receive\tF3", "Receive a file using Punter");
  transfer->Append(command::kSaveReceivedFile, "Save File...", "Save a received file");
  transfer->AppendCheckItem(command::kPromptAfterReceive, "Prompt after Receive", "Open a save dialog automatically");
  transfer->AppendSeparator();
  transfer->Append(command::kXmodemSend, "Xmodem Send\tF1", "Send a file using Xmodem");
  transfer->Append(command::kXmodem1kSend, "Xmodem-1k Send", "Send a file using Xmodem-1k");
  transfer->Append(command::kLoadFileToSend, "Load File...", "Load a file to send");
  transfer->AppendSeparator();
  transfer->Append(command::kCancelTransfer, "Cancel Transfer", "Cancel the upload/download");

  auto* buffer = new wxMenu;
  buffer->Append(command::kLoadBuffer, "&Load...", "Load a SEQ file into the buffer");
  buffer->Append(command::kSaveBuffer, "&Save...", "Save the buffer as a SEQ file");
  buffer->AppendSeparator();
  buffer->Append(command::kStash, "Stash", "Overwrite buffer with active session");
  buffer->AppendSeparator();
  buffer->Append(command::kViewBuffer, "View\tF4", "View the buffer");
  buffer->AppendSeparator();
  buffer->Append(command::kReplayScrolled, "Replay (scrolled)", "Replay buffer w/ backscroll");
  buffer->Append(command::kReplaySimulated, "Replay (simulated)", "Replay buffer as simulation");

  auto* help = new wxMenu;
  help->Append(wxID_ABOUT, "", "");
  help->Append(command::kCheckForUpdates, "Check for Updates...", "Check for a new version of Morlen");

  auto* bar = new wxMenuBar;
  bar->Append(terminal, "&Terminal");
  bar->Append(view, "&View");
  bar->Append(transfer, "Transfer");
  bar->Append(buffer, "&Buffer");
  bar->Append(help, "&Help");
  SetMenuBar(bar);
}

bool MorlenFrame::DisplayLargerThan(int width, int height) const {
  const int index = wxDisplay::GetFromWindow(this);
  const wxRect area = wxDisplay(index == wxNOT_FOUND ? 0u : static_cast<unsigned>(index)).GetClientArea();
  return area.width > width && area.height > height;
}

void MorlenFrame::OnUpdateCommand(wxUpdateUIEvent& event) {
  const int id = event.GetId();
  for (const ScaleCommand& s : kScaleCommands) {
    if (id != s.id) continue;
    event.Enable(s.displayWidth == 0 || DisplayLargerThan(s.displayWidth, s.displayHeight));
    event.Check(canvas->GetScale() == static_cast<std::uint64_t>(s.scale));
    return;
  }
  const bool transferRunning = transfers->Running();
  switch (id) {
    case command::kConnect: event.Enable(ConnectOffered()); break;
    case command::kDisconnect:
      event.Enable(client && (Connected() || client->State() == qwx::ClientState::Connecting));
      break;
    case command::kPositionalKeymap: event.Check(programSettings().keyboardMap == kPositionalKeyboardMap); break;
    case command::kHybridKeymap: event.Check(programSettings().keyboardMap == kHybridKeyboardMap); break;
    case command::kSaveBuffer:
    case command::kViewBuffer:
    case command::kReplayScrolled:
    case command::kReplaySimulated: event.Enable(!storedBuffer.empty()); break;
    case command::kStash: event.Enable(!session->WelcomeShown()); break;
    case command::kRows25: event.Enable(true); break;
    case command::kXmodemSend:
    case command::kXmodem1kSend:
    case command::kXmodemReceive:
    case command::kPunterReceive: event.Enable(Connected() && !transferRunning); break;
    case command::kCancelTransfer: event.Enable(transferRunning); break;
    case command::kSaveReceivedFile: event.Enable(transfers->SaveOffered()); break;
    case command::kLoadFileToSend: event.Enable(!transferRunning); break;
    case command::kPromptAfterReceive: event.Check(programSettings().dialogOnReceived); break;
    default: break;
  }
}

void MorlenFrame::SetKeymap(int type) {
  // Any other value leaves the keymap in force and the setting as it is.
  std::unique_ptr<qwx::wxKeymapC64> made = qwx::MakeKeymap(type);
  if (!made) return;
  programSettings().keyboardMap = type;
  keymap = std::move(made);
}

void MorlenFrame::SetWidthLimits() {
  // The width follows the canvas; only the height is the user's to change.
  const wxSize window = ClientToWindowSize(wxSize(canvas->GetSize().x, kMinimumHeight));
  const wxSize limit(window.x, -1);
  if (canvas->GetSize().x < GetMaxClientSize().x) {
    SetMinSize(limit);
    SetMaxSize(limit);
  } else {
    SetMaxSize(limit);
    SetMinSize(limit);
  }
  SetMinSize(wxSize(window.x, kMinimumHeight));
}

void MorlenFrame::ApplyScale(int scale) {
  canvas->SetScale(static_cast<std::uint64_t>(scale));
  FitStatusBar();
  SetWidthLimits();
  Fit();
}

qwx::wxMainStatusBar& MorlenFrame::StatusBar() const { return *static_cast<qwx::wxMainStatusBar*>(GetStatusBar()); }

void MorlenFrame::FitStatusBar() {
  qwx::wxMainStatusBar& bar = StatusBar();
  // The window is as wide as its canvas.
  const int rows = bar.RowsFor(canvas->GetSize().x);
  if (rows == bar.Rows()) return;
  bar.SetRows(rows);
  bar.SetSize(-1, bar.GetBestSize().y);
  // The frame keeps its status bar at the height it had when it was set.
  SetStatusBar(nullptr);
  SetStatusBar(&bar);
}

void MorlenFrame::OnScaleCommand(int scale) {
  programSettings().petsciiScale = scale;
  ApplyScale(scale);
}

void MorlenFrame::OnRowsCommand() {
  canvas->SetVisibleRows(kRowsCommandRows);
  Fit();
}

bool MorlenFrame::ConnectOffered() const {
  return !client && !wxWindow::FindWindowByLabel(kAddressBookTitle);
}

void MorlenFrame::OnConnectCommand() {
  // F7 arrives here even while the menu item is disabled.
  if (ConnectOffered()) OpenAddressBook(this);
}

bool MorlenFrame::CommandEnabled(int id) {
  wxUpdateUIEvent update(id);
  update.SetEventObject(this);
  OnUpdateCommand(update);
  return !update.GetSetEnabled() || update.GetEnabled();
}

bool MorlenFrame::RunAccelerator(const wxKeyEvent& event) {
  if (event.GetEventType() != wxEVT_KEY_DOWN || event.GetModifiers() != wxMOD_NONE) return false;
  // Keys typed in the other windows are theirs, or the board's.
  auto* window = wxDynamicCast(event.GetEventObject(), wxWindow);
  if (!window || wxGetTopLevelParent(window) != this) return false;
  for (const Accelerator& a : kAccelerators) {
    if (a.keyCode != event.GetKeyCode()) continue;
    if (!CommandEnabled(a.id)) return false;
    wxCommandEvent command(wxEVT_MENU, a.id);
    command.SetEventObject(this);
    ProcessWindowEvent(command);
    return true;
  }
  return false;
}

void MorlenFrame::UpdateBufferStatus() {
  SetStatusText(session->ActiveSessionText(), kActiveField);
  SetStatusText(wxString::Format("Buffer: %ld", static_cast<long>(storedBuffer.size())), kBufferField);
}

void MorlenFrame::OnCanvasResized(wxCommandEvent& event) {
  SetStatusText(wxString::Format("%ld:%ld", static_cast<long>(canvas->Columns()),
                                 static_cast<long>(canvas->VisibleRows())),
                kSizeField);
  event.Skip();
}

void MorlenFrame::OnCanvasScreenshot(wxCommandEvent&) { screenshotText() = base64Encode(canvas->screenshot); }
