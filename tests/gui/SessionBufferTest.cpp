// SPDX-License-Identifier: GPL-3.0-or-later
// The Buffer menu's SEQ commands and Edit > Save Screen as PNG... on the
// real main window; the file dialogs are answered by the test.
#include <gtest/gtest.h>
#include <wx/filename.h>
#include <wx/wx.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "app/CommandIds.h"
#include "app/FileChooser.h"
#include "app/MorlenFrame.h"
#include "app/MessagePrompt.h"
#include "gui/GuiTestSupport.h"
#include "settings/Settings.h"

namespace {

class SessionBuffer : public ::testing::Test {
 protected:
  void SetUp() override {
    programSettings() = Settings{};
    programSettings().autoCheckForUpdate = false;
    directory = wxFileName::CreateTempFileName("seq");
    wxRemoveFile(directory);
    wxMkdir(directory);
    saved = ProgramFileChooser();
    ProgramFileChooser() = [this](wxWindow*, const FileRequest& request) {
      requests.push_back(request);
      return answer;
    };
    savedPrompt = ProgramMessagePrompt();
    ProgramMessagePrompt() = [this](wxWindow*, const MessageRequest& request) {
      told.push_back(request.message);
      return std::size_t{0};
    };
    frame = new MorlenFrame;
    frame->Show();
    RunEventLoopFor(100);
  }
  void TearDown() override {
    ProgramMessagePrompt() = savedPrompt;
    ProgramFileChooser() = saved;
    frame->Destroy();
    RunEventLoopFor(50);
    wxFileName::Rmdir(directory, wxPATH_RMDIR_RECURSIVE);
  }
  void Command(int id) {
    wxCommandEvent event(wxEVT_MENU, id);
    frame->GetEventHandler()->ProcessEvent(event);
  }
  bool Enabled(int id) {
    wxMenuBar* bar = frame->GetMenuBar();
    bar->GetMenu(bar->FindMenu("&Buffer"))->UpdateUI(frame);
    return frame->GetMenuBar()->IsEnabled(id);
  }
  wxString Path(const char* name) { return directory + "/" + name; }
  void Write(const wxString& path, const std::string& bytes) {
    std::ofstream(path.ToStdString(), std::ios::binary) << bytes;
  }
  std::string Read(const wxString& path) {
    std::ifstream in(path.ToStdString(), std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  }
  wxString Status(int field) { return frame->GetStatusBar()->GetStatusText(field); }

  wxString directory;
  FileChooser saved;
  MessagePrompt savedPrompt;
  std::vector<wxString> told;
  std::vector<FileRequest> requests;
  wxString answer;
  MorlenFrame* frame = nullptr;
};

// The picture saved is the one `morlen-petscii render` draws of the same bytes.
TEST_F(SessionBuffer, SaveScreenAsPngWritesWhatRenderDraws) {
  const std::string board = "\x93\x0e\x05\x12 Message Base \x92\r\x9e\xa6\xa6\xa6\r\x1cred \xd2\xc5\xc4";
  Write(Path("board.seq"), board);
  frame->Canvas()->LoadBytes(ByteBuffer(board.begin(), board.end()));
  frame->Canvas()->ProcessPending();
  frame->Canvas()->ShowCurrentScreen();  // below the clear's separator, as a board shows it
  answer = Path("screen.png");
  Command(command::kSavePicture);
  const std::string render = std::string("\"" MORLEN_BINARY_DIR "/morlen-petscii\" render --scale 2 \"") +
                             Path("board.seq").ToStdString() + "\" \"" + Path("render.png").ToStdString() + "\"";
  ASSERT_EQ(std::system(render.c_str()), 0);
  EXPECT_TRUE(Read(Path("screen.png")) == Read(Path("render.png"))) << "the saved picture is not the render";
  EXPECT_EQ(Status(0), "Saved the screen as " + answer);
}

TEST_F(SessionBuffer, LoadEnablesSaveViewAndReplay) {
  EXPECT_FALSE(Enabled(command::kSaveBuffer));
  EXPECT_FALSE(Enabled(command::kStash));
  Write(Path("board.seq"), "\x93\x05HELLO");
  answer = Path("board.seq");
  Command(command::kLoadBuffer);
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_FALSE(requests[0].save);
  EXPECT_EQ(requests[0].title, "Choose a file to open");
  EXPECT_EQ(requests[0].wildcard, "SEQ files|*.seq");
  EXPECT_EQ(Status(0), "Loaded " + Path("board.seq"));
  EXPECT_EQ(Status(3), "Buffer: 7");
  for (int id : {command::kSaveBuffer, command::kViewBuffer, command::kReplayScrolled, command::kReplaySimulated})
    EXPECT_TRUE(Enabled(id)) << id;

  // An empty file empties the buffer and disables them again.
  Write(Path("empty.seq"), "");
  answer = Path("empty.seq");
  Command(command::kLoadBuffer);
  EXPECT_EQ(Status(3), "Buffer: 0");
  EXPECT_FALSE(Enabled(command::kSaveBuffer));
  EXPECT_FALSE(Enabled(command::kViewBuffer));
}

TEST_F(SessionBuffer, SaveAndReloadKeepEveryByte) {
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  Write(Path("all.seq"), all);
  answer = Path("all.seq");
  Command(command::kLoadBuffer);
  answer = Path("copy");  // saved exactly as chosen: no extension added
  Command(command::kSaveBuffer);
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_TRUE(requests[1].save);
  EXPECT_EQ(requests[1].title, "Save Buffer As");
  EXPECT_EQ(Status(0), "Saved " + Path("copy"));
  EXPECT_EQ(Read(Path("copy")), all);
  EXPECT_EQ(std::string(frame->StoredBuffer().begin(), frame->StoredBuffer().end()), all);
}

TEST_F(SessionBuffer, CancelAndUnreadableFilesChangeNothing) {
  Write(Path("one.seq"), "ONE");
  answer = Path("one.seq");
  Command(command::kLoadBuffer);
  const wxString loaded = Status(0);
  answer = "";  // cancelled
  Command(command::kLoadBuffer);
  Command(command::kSaveBuffer);
  EXPECT_EQ(Status(0), loaded);
  answer = Path("missing.seq");
  Command(command::kLoadBuffer);
  EXPECT_EQ(frame->StoredBuffer().size(), 3u);
  EXPECT_EQ(Status(0), loaded);
  answer = Path("no/such/dir/out.seq");
  Command(command::kSaveBuffer);
  EXPECT_EQ(Status(0), loaded);
  // The failed save is told (the rules for what it says are SaveFailure's).
  EXPECT_EQ(told.size(), 1u);
}

}  // namespace
