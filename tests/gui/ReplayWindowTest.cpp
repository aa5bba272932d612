// SPDX-License-Identifier: GPL-3.0-or-later
// The buffer windows on the real toolkit: the view, both replays against the
// interpreter's own result, scale, several windows, closing, a buffer
// replaced mid-replay and the screenshot event. The parent is a real main
// window; the test's own buffer stands in for the main window's.
#include <gtest/gtest.h>
#include <wx/weakref.h>
#include <wx/wx.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <string>

#include "app/MorlenFrame.h"
#include "app/ProgramValues.h"
#include "app/ReplayFrame.h"
#include "gui/GuiTestSupport.h"
#include "settings/Base64.h"
#include "settings/Settings.h"
#include "terminal/PetsciiCodes.h"
#include "terminal/ScreenDump.h"

namespace {

constexpr int kReplayTimeoutMs = 30000;
constexpr std::uint8_t kReplayColour = 15;

// `count` lines of 39 letters in changing colours, each ended by RETURN;
// `letter` picks the first letter so that buffers can be told apart.
ByteBuffer Lines(int count, char letter = 'A') {
  static const std::uint8_t kColours[] = {0x05, 0x1C, 0x9F, 0x9E, 0x1E, 0x9A};
  ByteBuffer bytes;
  for (int line = 0; line < count; ++line) {
    bytes.push_back(kColours[line % sizeof kColours]);
    if (line % 5 == 0) bytes.push_back(petscii::kReverseOn);
    for (int c = 0; c < 39; ++c) bytes.push_back(static_cast<std::uint8_t>(letter + (line + c) % 26));
    bytes.push_back(petscii::kReturn);
  }
  return bytes;
}

ByteBuffer Concat(ByteBuffer a, const ByteBuffer& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// What the interpreter makes of `bytes` in one go, as the replay window's
// canvas would load them.
std::string ModelOf(const ByteBuffer& bytes, bool fixed) {
  PetsciiTerminal terminal(kReplayColour, fixed);
  terminal.LoadBytes(bytes);
  terminal.Reset(kReplayColour, fixed);
  terminal.ProcessPending();
  return DumpScreen(terminal.Screen());
}

std::string ModelOf(const ReplayFrame* frame) { return DumpScreen(frame->Canvas()->Screen()); }

class ReplayWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    programSettings() = Settings{};
    programSettings().autoCheckForUpdate = false;
    main = new MorlenFrame;
    main->Show();
    RunEventLoopFor(100);
  }
  void TearDown() override {
    if (main) main->Destroy();
    RunEventLoopFor(50);
  }

  ReplayFrame* Open(ReplayMode mode) { return OpenBufferWindow(main, &buffer, mode); }
  static bool Finish(ReplayFrame* frame) {
    return RunEventLoopUntil([frame] { return !frame->Replaying(); }, kReplayTimeoutMs);
  }
  ByteBuffer Replayed(const ReplayFrame* frame) const { return frame->Canvas()->Terminal().Bytes(); }
  ByteBuffer Prefix(std::uint64_t n) const { return ByteBuffer(buffer.begin(), buffer.begin() + n); }

  MorlenFrame* main = nullptr;
  ByteBuffer buffer;  // plays the main window's stored buffer
};

TEST_F(ReplayWindow, ViewShowsTheWholeBufferAtOnceFromTheTop) {
  buffer = Concat(welcomeScreen(), Lines(40));
  ReplayFrame* view = Open(ReplayMode::View);
  EXPECT_EQ(view->GetTitle(), "View Buffer");
  EXPECT_EQ(view->GetParent(), main);
  EXPECT_TRUE(view->IsShown());
  ASSERT_EQ(view->GetIcons().GetIconCount(), 1u);
  EXPECT_EQ(view->GetIcons().GetIconByIndex(0).GetSize(), wxSize(16, 16));
  // No event loop has run yet: everything is there at once, never paced.
  EXPECT_FALSE(view->Replaying());
  EXPECT_EQ(Replayed(view), buffer);
  EXPECT_EQ(ModelOf(view), ModelOf(buffer, false));
  RunEventLoopFor(100);
  EXPECT_GT(view->Canvas()->Screen().RowCount(), 60u);
  EXPECT_EQ(view->Canvas()->ViewStartRow(), 0u);
}

TEST_F(ReplayWindow, ScrolledReplayAdvancesAndEndsLikeTheView) {
  buffer = Concat(Lines(30), Concat({petscii::kClear}, Lines(20, 'K')));
  ReplayFrame* replay = Open(ReplayMode::Scrolled);
  EXPECT_EQ(replay->GetTitle(), "Replay Buffer");
  EXPECT_TRUE(replay->Replaying());
  EXPECT_TRUE(Replayed(replay).empty());

  ASSERT_TRUE(RunEventLoopUntil([&] { return replay->Position() >= 100; }, kReplayTimeoutMs));
  const std::uint64_t early = replay->Position();
  EXPECT_LT(early, buffer.size());
  EXPECT_EQ(Replayed(replay), Prefix(early));
  RunEventLoopFor(200);
  EXPECT_GT(replay->Position(), early);
  EXPECT_EQ(Replayed(replay), Prefix(replay->Position()));

  ASSERT_TRUE(Finish(replay));
  EXPECT_EQ(replay->Position(), buffer.size());
  EXPECT_EQ(Replayed(replay), buffer);
  ReplayFrame* view = Open(ReplayMode::View);
  EXPECT_EQ(ModelOf(replay), ModelOf(view));
  // The last screen is in view from its top row (below the last line
  // written), the cleared-away output above it in the history.
  const PetsciiScreen& screen = replay->Canvas()->Screen();
  EXPECT_EQ(screen.Top(), 31u);
  EXPECT_EQ(screen.CursorRow(), 51u);
  EXPECT_EQ(replay->Canvas()->ViewStartRow(), screen.Top());
  const auto& lines = replay->Canvas()->Screen().Lines();
  EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [](const ScreenLine& l) { return l.separator; }));
  // The window stays open with its final state.
  RunEventLoopFor(100);
  EXPECT_TRUE(replay->IsShown());
  EXPECT_EQ(Replayed(replay), buffer);
}

TEST_F(ReplayWindow, SimulatedReplayEndsAsAFixedScreenClearedByClearScreen) {
  const ByteBuffer hello = {'H', 'E', 'L', 'L', 'O'};
  buffer = Concat(Lines(30), Concat({petscii::kClear}, hello));
  ReplayFrame* simulated = Open(ReplayMode::Simulated);
  EXPECT_EQ(simulated->GetTitle(), "Replay Buffer (simulation)");
  ASSERT_TRUE(RunEventLoopUntil([&] { return simulated->Position() >= 50; }, kReplayTimeoutMs));
  EXPECT_TRUE(simulated->Replaying());
  ASSERT_TRUE(Finish(simulated));
  EXPECT_EQ(ModelOf(simulated), ModelOf(buffer, true));

  const PetsciiScreen& screen = simulated->Canvas()->Screen();
  ASSERT_LE(screen.RowCount(), PetsciiScreen::kRows);
  EXPECT_EQ(screen.Top(), 0u);
  for (std::uint64_t row = 0; row < screen.RowCount(); ++row) {
    const ScreenLine& line = screen.Lines()[row];
    EXPECT_FALSE(line.separator) << row;
    std::size_t written = 0;
    for (const ScreenCell& cell : line.cells) written += cell.code != 0;
    EXPECT_EQ(written, row == 0 ? hello.size() : 0u) << row;
  }
  EXPECT_EQ(screen.CursorRow(), 0u);
  EXPECT_EQ(screen.CursorColumn(), hello.size());
}

TEST_F(ReplayWindow, CanvasHasScaleTwoWhateverTheMainWindowUses) {
  buffer = Lines(3);
  for (int mainScale : {1, 8, 3}) {
    programSettings().petsciiScale = mainScale;
    main->ApplyScale(mainScale);
    for (ReplayMode mode : {ReplayMode::View, ReplayMode::Scrolled, ReplayMode::Simulated}) {
      ReplayFrame* frame = Open(mode);
      RunEventLoopFor(50);
      EXPECT_EQ(frame->Canvas()->GetScale(), 2u) << mainScale;
      EXPECT_EQ(frame->Canvas()->GetClientSize(), wxSize(640, 400)) << mainScale;
      EXPECT_EQ(frame->Canvas()->initialColour, kReplayColour);
      EXPECT_FALSE(frame->Canvas()->showCursor);
      // Only the height is the user's to change, down to 160 pixels.
      EXPECT_EQ(frame->GetMinSize().x, frame->GetSize().x);
      EXPECT_EQ(frame->GetMaxSize().x, frame->GetSize().x);
      EXPECT_EQ(frame->GetMinSize().y, ReplayFrame::kMinimumHeight);
      frame->Close();
    }
  }
  RunEventLoopFor(50);
}

TEST_F(ReplayWindow, SeveralWindowsReplayEachAtItsOwnPosition) {
  buffer = Lines(40);
  ReplayFrame* first = Open(ReplayMode::Scrolled);
  ASSERT_TRUE(RunEventLoopUntil([&] { return first->Position() >= 300; }, kReplayTimeoutMs));
  ReplayFrame* second = Open(ReplayMode::Simulated);
  ReplayFrame* third = Open(ReplayMode::Scrolled);
  ASSERT_TRUE(RunEventLoopUntil([&] { return second->Position() >= 50 && third->Position() >= 50; },
                                kReplayTimeoutMs));
  EXPECT_GT(first->Position(), second->Position() + 200);
  EXPECT_EQ(Replayed(first), Prefix(first->Position()));
  EXPECT_EQ(Replayed(second), Prefix(second->Position()));
  EXPECT_EQ(Replayed(third), Prefix(third->Position()));

  // Closing one leaves the others running to their own end.
  wxWeakRef<ReplayFrame> gone(third);
  third->Close();
  ASSERT_TRUE(Finish(first));
  EXPECT_TRUE(second->Replaying());
  ASSERT_TRUE(Finish(second));
  EXPECT_FALSE(gone);
  EXPECT_EQ(ModelOf(first), ModelOf(buffer, false));
  EXPECT_EQ(ModelOf(second), ModelOf(buffer, true));
}

TEST_F(ReplayWindow, ClosingMidReplayStopsItAndReopeningStartsOver) {
  buffer = Lines(40);
  ReplayFrame* replay = Open(ReplayMode::Scrolled);
  ASSERT_TRUE(RunEventLoopUntil([&] { return replay->Position() >= 100; }, kReplayTimeoutMs));
  wxWeakRef<ReplayFrame> closed(replay);
  EXPECT_TRUE(replay->Close());
  EXPECT_FALSE(replay->Replaying());  // stopped at once, before the window goes
  ASSERT_TRUE(RunEventLoopUntil([&] { return !closed; }));

  ReplayFrame* again = Open(ReplayMode::Scrolled);
  EXPECT_EQ(again->Position(), 0u);
  EXPECT_TRUE(Replayed(again).empty());
  ASSERT_TRUE(RunEventLoopUntil([&] { return again->Position() >= 10; }, kReplayTimeoutMs));
  EXPECT_EQ(Replayed(again), Prefix(again->Position()));
}

TEST_F(ReplayWindow, MainWindowGoingAwayTakesRunningReplaysWithIt) {
  buffer = Lines(40);
  wxWeakRef<ReplayFrame> scrolled(Open(ReplayMode::Scrolled));
  wxWeakRef<ReplayFrame> simulated(Open(ReplayMode::Simulated));
  wxWeakRef<ReplayFrame> view(Open(ReplayMode::View));
  ASSERT_TRUE(RunEventLoopUntil([&] { return scrolled->Position() >= 50; }, kReplayTimeoutMs));
  main->Close(true);
  main = nullptr;
  ASSERT_TRUE(RunEventLoopUntil([&] { return !scrolled && !simulated && !view; }));
  RunEventLoopFor(100);  // no expiry may arrive for a window that is gone
}

TEST_F(ReplayWindow, ReplacedBufferGoesOnFromTheCurrentPosition) {
  const ByteBuffer first = Lines(40, 'A');
  const ByteBuffer longer = Lines(60, 'Q');
  buffer = first;
  ReplayFrame* replay = Open(ReplayMode::Scrolled);
  ASSERT_TRUE(RunEventLoopUntil([&] { return replay->Position() >= 200; }, kReplayTimeoutMs));
  const std::uint64_t switched = replay->Position();
  buffer = longer;  // what "Load..." does to the main window's buffer
  ASSERT_TRUE(Finish(replay));
  ByteBuffer expected(first.begin(), first.begin() + switched);
  expected.insert(expected.end(), longer.begin() + switched, longer.end());
  EXPECT_EQ(Replayed(replay), expected);
  EXPECT_EQ(ModelOf(replay), ModelOf(expected, false));

  // A buffer shorter than the position reached ends the replay at once.
  buffer = first;
  ReplayFrame* cut = Open(ReplayMode::Simulated);
  ASSERT_TRUE(RunEventLoopUntil([&] { return cut->Position() >= 300; }, kReplayTimeoutMs));
  const std::uint64_t reached = cut->Position();
  buffer.assign(first.begin(), first.begin() + 100);
  ASSERT_TRUE(RunEventLoopUntil([&] { return !cut->Replaying(); }, 1000));
  EXPECT_EQ(cut->Position(), reached);
  EXPECT_EQ(Replayed(cut), ByteBuffer(first.begin(), first.begin() + reached));
}

TEST_F(ReplayWindow, NoBufferShowsAnEmptyScreen) {
  ReplayFrame* none = OpenBufferWindow(main, nullptr, ReplayMode::Scrolled);
  ReplayFrame* view = OpenBufferWindow(main, nullptr, ReplayMode::View);
  ASSERT_TRUE(Finish(none));
  EXPECT_TRUE(Replayed(none).empty());
  EXPECT_TRUE(Replayed(view).empty());
}

TEST_F(ReplayWindow, ScreenshotEventSetsTheScreenshotTextFromItsOwnCanvas) {
  buffer = Lines(2);
  ReplayFrame* replay = Open(ReplayMode::View);
  const ByteBuffer shot = {petscii::kClear, 0x05, 'H', 'I', 0x00, 0xFF};
  replay->Canvas()->screenshot = shot;
  main->Canvas()->screenshot = {'M', 'A', 'I', 'N'};
  screenshotText().clear();
  // Queued to the canvas's parent, as the canvas does after its screenshot.
  wxQueueEvent(replay->Canvas()->GetParent(), new wxCommandEvent(wxEVT_PETSCII_CANVAS_SCREENSHOT, 0));
  RunEventLoopFor(100);
  // The main window must not take it for its own screenshot.
  EXPECT_EQ(screenshotText(), base64Encode(shot));
}

// With MORLEN_REPLAY_SHOT set to a directory (the test script does), leaves
// the finished simulated replay's bytes and a picture of its window there,
// for the script to compare against morlen-petscii render.
TEST_F(ReplayWindow, PictureOfAFinishedSimulatedReplay) {
  const char* directory = std::getenv("MORLEN_REPLAY_SHOT");
  if (!directory) GTEST_SKIP() << "MORLEN_REPLAY_SHOT not set";
  buffer = Concat(welcomeScreen(), Concat({petscii::kClear}, Lines(30)));
  const std::string dir = directory;
  std::ofstream(dir + "/replay.seq", std::ios::binary)
      .write(reinterpret_cast<const char*>(buffer.data()), static_cast<std::streamsize>(buffer.size()));
  ReplayFrame* replay = Open(ReplayMode::Simulated);
  ASSERT_TRUE(Finish(replay));
  RunEventLoopFor(300);  // the last paint
  const std::string command = "timeout 20 import -window \"$(timeout 5 xdotool search --onlyvisible --name "
                              "'^Replay Buffer \\(simulation\\)$' | tail -1)\" '" + dir + "/replay.png'";
  EXPECT_EQ(std::system(command.c_str()), 0) << command;
}

}  // namespace
