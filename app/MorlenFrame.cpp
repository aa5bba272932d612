// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/MorlenFrame.h"

#include <wx/display.h>

#include "app/CommandIds.h"
#include "app/LineSpeedMenu.h"
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

// C64 keys are Ctrl and a letter (C= and the letter): the program's own
// keys that need a letter take Ctrl+Shift, which the board never gets.
constexpr const char* kQuitText = "&Quit\tCtrl+Shift+Q";
}  // namespace

wxString MorlenFrame::ProgramTitle() {
  return wxString::Format("%s v%s/%s", productName, productVersion, vendorName);
}

MorlenFrame::MorlenFrame()
    : wxFrame(nullptr, wxID_ANY, ProgramTitle()), keymap(qwx::MakeKeymap(kPositionalKeyboardMap)) {
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
  session = std::make_unique<TerminalSession>(statusSink, *sessionScreen, welcomeScreen(), paceClock);
  CreateTransfers();
  pasteTarget = std::make_unique<SessionPasteTarget>(*session, *canvas);
  paste = std::make_unique<PasteFeeder>(*pasteTarget, pasteClock, statusSink);
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
  modalDialogs.Register();

  Bind(wxEVT_PETSCII_CANVAS_RESIZED, &MorlenFrame::OnCanvasResized, this);
  Bind(wxEVT_PETSCII_CANVAS_SCREENSHOT, &MorlenFrame::OnCanvasScreenshot, this);
  Bind(wxEVT_ADDRESS_BOOK_CONNECT, &MorlenFrame::OnConnectRequest, this);
  Bind(wxEVT_SOCKET, &MorlenFrame::OnSocketEvent, this);
  Bind(wxEVT_CLOSE_WINDOW, &MorlenFrame::OnClose, this);
  Bind(wxEVT_CHAR_HOOK, &MorlenFrame::OnCharHook, this);
  // Keys the focused window leaves unhandled end at the application.
  wxTheApp->Bind(wxEVT_KEY_DOWN, &MorlenFrame::OnKey, this);
  wxTheApp->Bind(wxEVT_KEY_UP, &MorlenFrame::OnKey, this);
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
  const auto buffered = [this] { return !storedBuffer.empty(); };
  commands.Menu("&Terminal") = {
      Command(command::kConnect, "&Connect...\tF7", "Connect to remote host", [this] { OpenAddressBook(this); },
              [this] { return ConnectOffered(); }),
      Command(command::kDisconnect, "&Disconnect", "Disconnect from remote host", [this] { OnDisconnectCommand(); },
              [this] { return client && (Connected() || client->State() == qwx::ClientState::Connecting); }),
      Separator(),
      Submenu(command::kKeyboardMenu, "&Keyboard",
              {Choice(wxITEM_RADIO, command::kPositionalKeymap, "&Positional", "Use a positional (VICE) keymap",
                      [this] { SetKeymap(kPositionalKeyboardMap); },
                      [] { return programSettings().keyboardMap == kPositionalKeyboardMap; }),
               Choice(wxITEM_RADIO, command::kHybridKeymap, "&Hybrid", "Use a hybrid symbolic keymap",
                      [this] { SetKeymap(kHybridKeyboardMap); },
                      [] { return programSettings().keyboardMap == kHybridKeyboardMap; })}),
      Separator(),
      Command(wxID_EXIT, kQuitText, "Quit this program", [this] { OnExitCommand(); }),
  };

  commands.Menu("&Edit") = EditCommands();

  std::vector<CommandRow>& view = commands.Menu("&View");
  for (const ScaleCommand& s : kScaleCommands) {
    view.push_back(Choice(
        wxITEM_RADIO, s.id, wxString::Format("Scale &%dx", s.scale), wxString::Format("Display at %dx scale", s.scale),
        [this, scale = s.scale] { OnScaleCommand(scale); },
        [this, scale = s.scale] { return canvas->GetScale() == static_cast<std::uint64_t>(scale); },
        [this, s] { return s.displayWidth == 0 || DisplayLargerThan(s.displayWidth, s.displayHeight); }));
  }
  view.push_back(Separator());
  view.push_back(Command(command::kRows25, "25 &rows", "Display with 25 rows", [this] { OnRowsCommand(); }));
  view.push_back(Separator());
  view.push_back(Submenu(command::kLineSpeedMenu, "&Line Speed",
                         LineSpeedRows([this] { return session->LineSpeed(); },
                                       [this](std::uint32_t bps) { SetLineSpeed(bps); })));

  commands.Menu("T&ransfer") = TransferCommands();

  commands.Menu("&Buffer") = {
      Command(command::kLoadBuffer, "&Load...", "Load a SEQ file into the buffer", [this] { OnLoadBuffer(); }),
      Command(command::kSaveBuffer, "&Save...", "Save the buffer as a SEQ file", [this] { OnSaveBuffer(); },
              buffered),
      Separator(),
      Command(command::kStash, "S&tash", "Overwrite buffer with active session", [this] { OnStash(); },
              [this] { return !session->WelcomeShown(); }),
      Separator(),
      Command(command::kViewBuffer, "&View\tF4", "View the buffer",
              [this] { OpenBufferWindow(this, &storedBuffer, ReplayMode::View); }, buffered),
      Separator(),
      Command(command::kReplayScrolled, "&Replay (scrolled)", "Replay buffer w/ backscroll",
              [this] { OpenBufferWindow(this, &storedBuffer, ReplayMode::Scrolled); }, buffered),
      Command(command::kReplaySimulated, "Replay (si&mulated)", "Replay buffer as simulation",
              [this] { OpenBufferWindow(this, &storedBuffer, ReplayMode::Simulated); }, buffered),
  };

  commands.Menu("&Help") = HelpCommands();
  // Alt+C copies the canvas's selection as ASCII, as its context menu
  // shows beside that item; Shift+Insert pastes, as in other terminals.
  commands.AddKey(wxACCEL_ALT, 'C', wxID_COPY);
  commands.AddKey(wxACCEL_SHIFT, WXK_INSERT, command::kPaste);
  commands.Install(*this);
}

bool MorlenFrame::DisplayLargerThan(int width, int height) const {
  const int index = wxDisplay::GetFromWindow(this);
  const wxRect area = wxDisplay(index == wxNOT_FOUND ? 0u : static_cast<unsigned>(index)).GetClientArea();
  return area.width > width && area.height > height;
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
  // A closed address book lingers until the next idle time.
  wxWindow* book = wxWindow::FindWindowByLabel(kAddressBookTitle);
  return !client && (!book || wxTheApp->IsScheduledForDestruction(book));
}

bool MorlenFrame::CommandEnabled(int id) { return commands.Enabled(id); }

void MorlenFrame::UpdateBufferStatus() {
  SetStatusText(session->ActiveSessionText(), kActiveField);
  SetStatusText("Buffer: " + RecordSizeText(storedBuffer.size(), storedTrimmed), kBufferField);
}

void MorlenFrame::OnCanvasResized(wxCommandEvent& event) {
  SetStatusText(wxString::Format("%ld:%ld", static_cast<long>(canvas->Columns()),
                                 static_cast<long>(canvas->VisibleRows())),
                kSizeField);
  event.Skip();
}

void MorlenFrame::OnCanvasScreenshot(wxCommandEvent&) { screenshotText() = base64Encode(canvas->screenshot); }
