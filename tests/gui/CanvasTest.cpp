// SPDX-License-Identifier: GPL-3.0-or-later
// The canvas under real mouse events: selection, the copies through the
// clipboard, screenshots and the context menu.
#include <gtest/gtest.h>
#include <wx/clipbrd.h>
#include <wx/uiaction.h>
#include <wx/wx.h>

#include <string>

#include "app/CommandIds.h"
#include "gui/GuiTestSupport.h"
#include "terminal/Palette.h"
#include "terminal/ScreenDump.h"
#include "terminal/wxPetsciiScrolledCanvas.h"

namespace {

using command::kCopyAsPetscii;
using command::kScreenshot;

ByteBuffer Bytes(const std::string& s) { return ByteBuffer(s.begin(), s.end()); }

class Canvas : public ::testing::Test {
 protected:
  void SetUp() override {
    frame = new wxFrame(nullptr, wxID_ANY, "canvas test");
    canvas = new qwx::wxPetsciiScrolledCanvas(frame, terminal, 2, wxSize(40, 25));
    canvas->palette = &LivePalette();
    frame->Fit();
    frame->Show();
    Load("\x8e\x05" "FIRST ROW\x0d" "SECOND ROW\x0d" "THIRD\x0d" "FOURTH ROW TEXT");
    RunEventLoopFor(300);
    frame->Bind(wxEVT_PETSCII_CANVAS_SCREENSHOT, [this](wxCommandEvent&) { ++screenshots; });
  }
  void TearDown() override {
    frame->Destroy();
    RunEventLoopFor(50);
  }
  void Load(const std::string& stream) {
    canvas->LoadBytes(Bytes(stream));
    canvas->ProcessPending();
  }
  // Screen position of the middle of a cell (column, row) of the view.
  wxPoint CellPoint(double column, double row) {
    return canvas->ClientToScreen(wxPoint(int(column * canvas->CellWidth()) + canvas->CellWidth() / 2,
                                          int(row * canvas->CellHeight()) + canvas->CellHeight() / 2));
  }
  // Real pointer events; each step waits until the display has moved the
  // pointer and the canvas has had its events, however busy the machine.
  void Drag(wxPoint from, wxPoint to) {
    wxUIActionSimulator sim;
    MoveTo(sim, from);
    sim.MouseDown();
    RunEventLoopUntil([&] { return wxGetMouseState().LeftIsDown(); });
    RunEventLoopFor(50);
    MoveTo(sim, to);
    sim.MouseUp();
    RunEventLoopUntil([&] { return !wxGetMouseState().LeftIsDown(); });
    RunEventLoopFor(100);
  }
  void MoveTo(wxUIActionSimulator& sim, wxPoint to) {
    sim.MouseMove(to);
    RunEventLoopUntil([&] { return wxGetMousePosition() == to; });
    RunEventLoopFor(50);
  }
  void Command(int id) {
    wxCommandEvent event(wxEVT_MENU, id);
    canvas->GetEventHandler()->ProcessEvent(event);
  }
  std::wstring Clipboard() {
    std::wstring text;
    if (wxTheClipboard->Open()) {
      wxTextDataObject data;
      if (wxTheClipboard->GetData(data)) text = data.GetText().ToStdWstring();
      wxTheClipboard->Close();
    }
    return text;
  }
  bool MenuEnabled(int id) {
    std::unique_ptr<wxMenu> menu = canvas->BuildContextMenu();
    menu->UpdateUI(canvas);
    wxMenuItem* item = menu->FindItem(id);
    return item && item->IsEnabled();
  }

  // Outlive the frame, which takes the canvases with it.
  PetsciiTerminal terminal, otherTerminal;
  wxFrame* frame = nullptr;
  qwx::wxPetsciiScrolledCanvas* canvas = nullptr;
  int screenshots = 0;
};

TEST_F(Canvas, ClickWithoutDragSelectsNothing) {
  Drag(CellPoint(2, 1), CellPoint(2, 1));
  EXPECT_TRUE(canvas->GetSelection().Empty());
  EXPECT_FALSE(MenuEnabled(wxID_COPY));
  EXPECT_FALSE(MenuEnabled(kCopyAsPetscii));
  EXPECT_TRUE(MenuEnabled(kScreenshot));
}

TEST_F(Canvas, BackwardDragSelectsUpToTheAnchor) {
  // From the middle of row 3 back to the start of row 1.
  Drag(CellPoint(7, 3), CellPoint(0, 1));
  const Selection& s = canvas->GetSelection();
  EXPECT_EQ(s.Begin().row, 1u);
  EXPECT_EQ(s.Begin().column, 0u);
  EXPECT_EQ(s.Finish().row, 3u);
  EXPECT_EQ(s.Finish().column, 7u);
  EXPECT_TRUE(MenuEnabled(wxID_COPY));
  Command(wxID_COPY);
  EXPECT_EQ(Clipboard(), L"SECOND ROW\nTHIRD\nFOURTH ");
}

TEST_F(Canvas, TheButtonReleaseEndsTheSelection) {
  // A quick drag: the button goes up further on than the last motion seen.
  const auto send = [this](wxEventType type, double column) {
    wxMouseEvent event(type);
    event.SetPosition(canvas->ScreenToClient(CellPoint(column, 3)));
    event.SetLeftDown(type != wxEVT_LEFT_UP);
    canvas->GetEventHandler()->ProcessEvent(event);
  };
  send(wxEVT_LEFT_DOWN, 0);
  send(wxEVT_MOTION, 8);
  send(wxEVT_LEFT_UP, 12);
  Command(wxID_COPY);
  EXPECT_EQ(Clipboard(), L"FOURTH ROW T");
}

TEST_F(Canvas, DragsPastTheTextClamp) {
  // Below the last row: the last row; right of a row's text: its end.
  Drag(CellPoint(3, 2), CellPoint(30, 20));
  EXPECT_EQ(canvas->GetSelection().Finish().row, 3u);
  EXPECT_EQ(canvas->GetSelection().Finish().column, 15u);
  Drag(CellPoint(0, 0), CellPoint(35, 0));
  EXPECT_EQ(canvas->GetSelection().Finish().column, 9u);
  Command(wxID_COPY);
  EXPECT_EQ(Clipboard(), L"FIRST ROW\n");
  // Above and left of the canvas: the first row and column.
  Drag(CellPoint(4, 1), CellPoint(-3, -2));
  EXPECT_EQ(canvas->GetSelection().Begin().row, 0u);
  EXPECT_EQ(canvas->GetSelection().Begin().column, 0u);
}

TEST_F(Canvas, PetsciiCopyKeepsEveryByte) {
  Load("\x12\x1c\xa6\x92\x05\x5c\xff");
  Drag(CellPoint(0, 0), CellPoint(20, 0));
  Command(kCopyAsPetscii);
  const std::wstring text = Clipboard();
  const std::wstring expected = {0x0E, 0x12, 0x1C, 0xA6, 0x92, 0x05, 0x5C, 0xFF, 0x0D};
  EXPECT_EQ(text, expected);
}

TEST_F(Canvas, ScreenshotRedrawsTheViewInAFreshCanvas) {
  Load("\x8e\x05" "TOP\x0d\x12\x1c" "RED REVERSE\x0d\x92\x1d\x1d" "GAP\x0d" + std::string(40, '\xa6') + "\x9e" "YELLOW" +
       "\x02\x97");
  Command(kScreenshot);
  ASSERT_TRUE(RunEventLoopUntil([&] { return screenshots == 1; }));
  ASSERT_FALSE(canvas->screenshot.empty());

  auto* other = new qwx::wxPetsciiScrolledCanvas(frame, otherTerminal, 1, wxSize(40, 25));
  other->initialBackground = 6;
  other->LoadBytes(canvas->screenshot);
  other->ProcessPending();
  auto rows = [](const PetsciiScreen& s) {
    const std::string dump = DumpScreen(s);
    return dump.substr(dump.find('\n'));
  };
  EXPECT_EQ(rows(other->Screen()), rows(canvas->Screen()));
  // The background goes with it, whatever the other canvas starts on.
  EXPECT_EQ(other->Screen().Background(), 11);
}

TEST_F(Canvas, ViewAndSelectionStayOnTheirRowsWhenTheOldestAreDropped) {
  auto lines = [](std::uint64_t first, std::uint64_t count) {
    std::string s;
    for (std::uint64_t i = first; i < first + count; ++i) s += "LINE " + std::to_string(i) + "\x0d";
    return s;
  };
  Load(lines(0, PetsciiScreen::kMaxKeptRows - 100));
  constexpr int kViewRow = 500000;
  canvas->Scroll(0, kViewRow);
  RunEventLoopFor(100);
  Drag(CellPoint(5, 2), CellPoint(4, 3));
  Command(wxID_COPY);
  const std::wstring copied = Clipboard();
  ASSERT_EQ(copied, L"500002\nline");  // upper-case PETSCII letters in the lower-case set
  Command(kScreenshot);
  const ByteBuffer view = canvas->screenshot;

  // The host keeps sending: the oldest rows go.
  for (char c : lines(PetsciiScreen::kMaxKeptRows - 100, 20000)) canvas->AppendByte(static_cast<std::uint8_t>(c));
  canvas->ProcessPending();
  const std::uint64_t dropped = canvas->Screen().DroppedRows();
  ASSERT_GT(dropped, 0u);
  EXPECT_EQ(canvas->ViewStartRow(), kViewRow - dropped);
  EXPECT_EQ(canvas->GetSelection().Begin().row, kViewRow + 2 - dropped);
  Command(wxID_COPY);
  EXPECT_EQ(Clipboard(), copied);
  Command(kScreenshot);
  EXPECT_EQ(canvas->screenshot, view);
}

TEST_F(Canvas, ScreenshotNeedsRowsAndCanBeLeftOut) {
  Load("");
  EXPECT_FALSE(MenuEnabled(kScreenshot));
  EXPECT_TRUE(canvas->GetSelection().Empty());
  canvas->offerScreenshot = false;
  std::unique_ptr<wxMenu> menu = canvas->BuildContextMenu();
  EXPECT_EQ(menu->FindItem(kScreenshot), nullptr);
  EXPECT_EQ(menu->GetMenuItemCount(), 3u);  // the two copies, Select All
}

TEST_F(Canvas, ExtensionEntriesJoinTheMenu) {
  int appended = 0;
  canvas->SetContextMenuExtension([&] {
    qwx::ContextMenuEntry entry;
    entry.id = addressBookId::kPasteScreenshot;
    entry.create = [](wxMenu* menu) { return new wxMenuItem(menu, addressBookId::kPasteScreenshot, "&Paste Screenshot"); };
    entry.appended = [&] { ++appended; };
    return std::vector<qwx::ContextMenuEntry>{entry};
  });
  std::unique_ptr<wxMenu> menu = canvas->BuildContextMenu();
  EXPECT_NE(menu->FindItem(addressBookId::kPasteScreenshot), nullptr);
  EXPECT_EQ(appended, 1);
}

}  // namespace
