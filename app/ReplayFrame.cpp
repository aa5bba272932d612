// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ReplayFrame.h"

#include "app/CloseKeys.h"
#include "app/EditMenu.h"
#include "app/LineSpeedMenu.h"
#include "app/ProgramValues.h"
#include "app/ReplayTimer.h"
#include "resources/morlen_icon.xpm"
#include "settings/Base64.h"
#include "terminal/Palette.h"

namespace {
struct ModeTraits {
  const char* title;
  bool fixedScreen;
  bool replays;
};

ModeTraits TraitsOf(ReplayMode mode) {
  switch (mode) {
    case ReplayMode::Scrolled: return {"Replay Buffer", false, true};
    case ReplayMode::Simulated: return {"Replay Buffer (simulation)", true, true};
    case ReplayMode::View: break;
  }
  return {"View Buffer", false, false};
}
}  // namespace

ReplayFrame::ReplayFrame(wxWindow* parent, wxWindowID id, const wxString& title) : wxFrame(parent, id, title) {
  // Nothing of this window is meant for the main window: without this its
  // canvas's events would travel on to the parent's handlers, and the main
  // window would take a replay's screenshot for one of its own.
  SetExtraStyle(GetExtraStyle() | wxWS_EX_BLOCK_EVENTS);

  panel = new wxPanel(this, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxTAB_TRAVERSAL | wxBORDER_NONE);
  canvas = new qwx::wxPetsciiScrolledCanvas(panel, terminal, kScale,
                                            wxSize(qwx::wxPetsciiScrolledCanvas::kDefaultColumns,
                                                   qwx::wxPetsciiScrolledCanvas::kDefaultRows));
  canvas->palette = &LivePalette();
  canvas->initialColour = kInitialColour;
  auto* frameSizer = new wxBoxSizer(wxVERTICAL);
  frameSizer->Add(panel, 1, wxEXPAND);
  auto* panelSizer = new wxBoxSizer(wxVERTICAL);
  panelSizer->Add(canvas, 1, wxEXPAND);
  panel->SetSizer(panelSizer);
  SetSizer(frameSizer);
  canvas->LoadBytes(emptyBuffer);

  frameSizer->SetSizeHints(this);
  SetSizeLimits();
  Fit();
  SetIcon(wxIcon(morlen_icon_xpm));

  Bind(wxEVT_PETSCII_CANVAS_SCREENSHOT, &ReplayFrame::OnCanvasScreenshot, this);
  Bind(wxEVT_CLOSE_WINDOW, &ReplayFrame::OnClose, this);
}

ReplayFrame::~ReplayFrame() = default;

void ReplayFrame::SetSizeLimits() {
  // As in the main window: the width follows the canvas, the height is free
  // down to a few rows. The canvas never changes scale here, so one order of
  // setting the limits is enough.
  const wxSize window = ClientToWindowSize(wxSize(canvas->GetSize().x, kMinimumHeight));
  SetMaxSize(wxSize(window.x, -1));
  SetMinSize(wxSize(window.x, kMinimumHeight));
}

void ReplayFrame::SetSource(const ByteBuffer* buffer) {
  source = buffer ? buffer : &emptyBuffer;
  canvas->LoadBytes(emptyBuffer);
}

void ReplayFrame::ShowAll() {
  canvas->LoadBytes(*source);
  canvas->ProcessPending();
  canvas->Scroll(0, 0);
  canvas->Refresh();
}

void ReplayFrame::StartReplay() {
  playback.Start(ReplayPlayback::Clock::now());
  if (!timer) timer = std::make_unique<ReplayTimer>(this);
  timer->Start(kStepIntervalMilliseconds, wxTIMER_CONTINUOUS);
}

void ReplayFrame::InstallCommands(bool speeds) {
  commands.Menu("&Edit") = EditRows(*this, canvas, {}, {});
  if (speeds) {
    commands.Menu("&Speed") = LineSpeedRows([this] { return playback.Speed(); },
                                            [this](std::uint32_t bps) { SetSpeed(bps); });
  }
  // As in the main window, Alt+C copies the selection as ASCII.
  commands.AddKey(wxACCEL_ALT, 'C', wxID_COPY);
  commands.Install(*this);
  InstallCloseKeys(*this, commands.Accelerators());
  SetSizeLimits();
  Fit();
}

void ReplayFrame::SetSpeed(std::uint32_t bitsPerSecond) {
  playback.SetSpeed(bitsPerSecond, ReplayPlayback::Clock::now());
  // Off shows the rest now rather than at the next tick.
  if (Replaying() && bitsPerSecond == kLineSpeedOff) ReplayStep();
}

bool ReplayFrame::Replaying() const { return timer && timer->IsRunning(); }

void ReplayFrame::ReplayStep() {
  const ReplayPlayback::Step step = playback.Advance(source->size(), ReplayPlayback::Clock::now());
  if (step.finished) {
    StopTimer();
    return;
  }
  if (step.count == 0) return;
  for (std::uint64_t i = step.first; i < step.first + step.count; ++i) canvas->AppendByte((*source)[i]);
  canvas->ProcessPending();
  canvas->ShowCurrentScreen();
  canvas->Refresh();
}

void ReplayFrame::StopTimer() {
  if (timer && timer->IsRunning()) timer->Stop();
}

bool ReplayFrame::Destroy() {
  StopTimer();
  timer.reset();
  return wxFrame::Destroy();
}

void ReplayFrame::OnClose(wxCloseEvent& event) {
  StopTimer();
  event.Skip();
}

void ReplayFrame::OnCanvasScreenshot(wxCommandEvent&) { screenshotText() = base64Encode(canvas->screenshot); }

ReplayFrame* OpenBufferWindow(wxWindow* mainWindow, const ByteBuffer* storedBuffer, ReplayMode mode) {
  const ModeTraits traits = TraitsOf(mode);
  auto* frame = new ReplayFrame(mainWindow, wxID_ANY, traits.title);
  frame->Canvas()->SetFixedScreen(traits.fixedScreen);
  frame->SetSource(storedBuffer);
  frame->InstallCommands(traits.replays);
  if (traits.replays) {
    frame->StartReplay();
  } else {
    frame->ShowAll();
  }
  frame->Show();
  return frame;
}
