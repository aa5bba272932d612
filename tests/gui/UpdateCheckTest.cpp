// SPDX-License-Identifier: GPL-3.0-or-later
// The update check on the real main window against a version-file server
// on 127.0.0.1 (tests/update_server.py): what the manual and the start-up
// check show for each answer, the check box reaching the next start, a
// session going on undisturbed while the server never answers, and a
// waiting check ending with Cancel or with the window.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#include <wx/hyperlink.h>
#include <wx/uiaction.h>
#include <wx/wx.h>

#include <cstdio>
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/CommandIds.h"
#include "app/MorlenFrame.h"
#include "dialogs/UpdateCheck.h"
#include "gui/GuiTestSupport.h"
#include "gui/LoopbackPeer.h"
#include "settings/Configuration.h"

namespace {

std::string ReadText(const std::string& path) {
  std::ostringstream text;
  text << std::ifstream(path, std::ios::binary).rdbuf();
  return text.str();
}

// python3 tests/update_server.py for the whole suite; its log has one line
// per request: the path, a tab and the User-Agent ("gone": a client hung up).
class VersionServer {
 public:
  VersionServer() : directory(mkdtemp(pattern)) {
    const std::string script = std::string(MORLEN_SOURCE_DIR) + "/tests/update_server.py";
    pid = fork();
    if (pid == 0) {
      execlp("python3", "python3", script.c_str(), (directory + "/port").c_str(), (directory + "/log").c_str(),
             static_cast<char*>(nullptr));
      _exit(127);
    }
    for (int i = 0; i < 100 && port.empty(); ++i, wxMilliSleep(50)) port = ReadText(directory + "/port");
  }
  ~VersionServer() {
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    std::system(("rm -rf '" + directory + "'").c_str());
  }
  std::string Address(const std::string& answer) const { return "http://127.0.0.1:" + port + "/" + answer; }
  std::string Path(const std::string& name) const { return directory + "/" + name; }
  std::vector<std::string> Log() const {
    std::vector<std::string> lines;
    std::istringstream text(ReadText(directory + "/log"));
    for (std::string line; std::getline(text, line);) lines.push_back(line);
    return lines;
  }
  std::string port;

 private:
  char pattern[32] = "/tmp/morlen-update-XXXXXX";
  std::string directory;
  pid_t pid = -1;
};

// build/morlen-host's demo board on 127.0.0.1, which answers key presses
// and records every byte it receives; its port line goes to `out`.
pid_t StartBoard(const std::string& record, const std::string& out) {
  const pid_t pid = fork();
  if (pid == 0 && std::freopen(out.c_str(), "w", stdout)) {
    execl(MORLEN_BINARY_DIR "/morlen-host", "morlen-host", "--port", "0", "--once", "--record", record.c_str(),
          static_cast<char*>(nullptr));
  }
  if (pid == 0) _exit(127);
  return pid;
}

// Real key events through the X server to the visible window of that title.
void Press(const std::string& title, const std::string& key) {
  const std::string command = "timeout 5 xdotool search --onlyvisible --name '^" + title + "$' windowfocus --sync key " + key;
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
}

// The manual check's progress window is up.
bool ProgressShown() {
  const wxWindow* progress = wxWindow::FindWindowByLabel("Check for Updates");
  return progress && progress->IsShown();
}

// What a shown result held: title|text|link|box, line breaks (also those
// of the wrapping) as spaces, box "ticked", "unticked" or "none"; a link
// shown otherwise than as the address it opens is marked.
std::string Look(wxDialog* dialog, wxCheckBox*& box, wxButton*& ok) {
  wxString text, link;
  for (wxWindow* child : dialog->GetChildren()) {
    if (auto* t = dynamic_cast<wxStaticText*>(child)) text = t->GetLabelText();
    if (auto* l = dynamic_cast<wxHyperlinkCtrl*>(child))
      link = l->GetURL() + (l->GetLabelText() == l->GetURL() ? "" : " shown as " + l->GetLabelText());
    if (auto* b = dynamic_cast<wxCheckBox*>(child)) box = b;
    if (auto* b = dynamic_cast<wxButton*>(child); b && b->GetId() == wxID_OK) ok = b;
  }
  text.Replace("\n", " ");
  return (dialog->GetTitle() + "|" + text + "|" + link + "|" + (box ? box->GetValue() ? "ticked" : "unticked" : "none"))
      .utf8_string();
}

void Click(wxWindow* window) {  // real pointer input through the X server
  wxUIActionSimulator sim;
  sim.MouseMove(window->GetScreenRect().GetPosition() + window->GetSize() / 2);
  RunEventLoopFor(60);
  sim.MouseClick();
  RunEventLoopFor(100);
}

// While the program waits in a result dialog, notes what it shows and
// closes it with OK; `untick` first clears the check box with a real click,
// then closes it with a real Escape.
class ResultWatcher : public wxTimer {
 public:
  explicit ResultWatcher(bool untick = false) : untick(untick) { Start(30); }
  std::vector<std::string> seen;

 private:
  void Notify() override {
    for (wxWindow* window : wxTopLevelWindows) {
      auto* dialog = dynamic_cast<qwx::wxCheckForUpdates*>(window);
      if (!dialog || !dialog->IsModal() || !dialog->IsShownOnScreen()) continue;
      Stop();
      wxCheckBox* box = nullptr;
      wxButton* ok = nullptr;
      seen.push_back(Look(dialog, box, ok));
      if (untick && box) {
        RunEventLoopFor(200);
        Click(box);
        RunEventLoopUntil([&] { return !box->GetValue(); });
        Press(dialog->GetTitle().utf8_string(), "Escape");
      } else {
        wxCommandEvent press(wxEVT_BUTTON, wxID_OK);
        ok->ProcessWindowEvent(press);
      }
      Start(30);
      return;
    }
  }
  bool untick;
};

class UpdateCheck : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { server = new VersionServer; }
  static void TearDownTestSuite() { delete server; }
  void SetUp() override {
    ASSERT_FALSE(server->port.empty()) << "the version-file server did not start";
    programSettings() = Settings{};
    programSettings().autoCheckForUpdate = false;
  }
  void TearDown() override {
    if (frame) frame->Destroy();
    RunEventLoopFor(50);
    updateServer() = savedServer;
  }
  void NewFrame() {
    if (frame) frame->Destroy();
    frame = new MorlenFrame;
    frame->Show();
    RunEventLoopFor(100);
  }
  // A check has been dealt with once its dialog is gone.
  bool CheckDone() { return RunEventLoopUntil([&] { return frame->UpdateChecker() == nullptr; }, 10000); }
  void CheckForUpdates() {
    wxCommandEvent command(wxEVT_MENU, command::kCheckForUpdates);
    frame->ProcessWindowEvent(command);
  }

  static inline VersionServer* server = nullptr;
  MorlenFrame* frame = nullptr;
  const std::string savedServer = updateServer();
};

std::string Newer(const std::string& version) {
  return "Updates are available|A new version of Morlen has been released! Please visit the Vendorly web site to "
         "download v" + version + ".|";
}
const std::string kNewer = Newer("1.0.1");
const std::string kLatest = "No updates available|You already have the latest version: Morlen v1.0.0.|";
const std::string kMakerPage = std::string(kMakerAddress) + "/morlen";
// Cancel or closing the window ends a request well within this (the
// program itself closes the connection at once).
constexpr long long kPromptMs = 100;
const std::string kFailed = "Check for Updates|Unable to check for updates. ";

TEST_F(UpdateCheck, ManualCheckShowsWhatTheServerAnswers) {
  NewFrame();
  std::uint16_t closedPort = 0;
  loopback::BoundSocket(closedPort, -1);  // bound and closed again: nothing listens there
  programSettings().autoCheckForUpdate = true;  // the box starts ticked
  struct Row {
    std::string answer;  // a path on the server, or a whole address
    std::string shown;   // the result dialog, or the message box
  };
  const Row rows[] = {
      {"newer", kNewer + "https://127.0.0.1/morlen-1.0.1|ticked"},
      {"same", kLatest + "http://127.0.0.1/morlen|ticked"},
      {"older", kLatest + "http://127.0.0.1/morlen|ticked"},
      {"others", kLatest + "|ticked"},
      {"emptyurl", kNewer + kMakerPage + "|ticked"},
      {"fileurl", kNewer + kMakerPage + "|ticked"},
      {"scripturl", kNewer + kMakerPage + "|ticked"},
      {"malformed", kLatest + "|ticked"},
      {"truncated", kNewer + "https://127.0.0.1/t|ticked"},
      {"huge", kNewer + "https://127.0.0.1/huge|ticked"},
      {"ampersand", Newer("1.0.1&up") + "https://127.0.0.1/get?a=1&b=2|ticked"},
      // A failure too lets the user decide about the automatic check.
      {"missing", kFailed + "The remote file doesn't exist.||ticked"},
      {"toolarge", kFailed + "A generic network error occurred.||ticked"},
      {"http://127.0.0.1:" + std::to_string(closedPort), kFailed + "The client failed to connect the server.||ticked"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.answer);
    const bool onServer = r.answer.rfind("http", 0) != 0;
    updateServer() = onServer ? server->Address(r.answer) : r.answer;
    const std::size_t before = server->Log().size();
    ResultWatcher watcher;
    CheckForUpdates();
    EXPECT_TRUE(CheckDone());
    EXPECT_EQ(watcher.seen, std::vector<std::string>{r.shown});
    EXPECT_TRUE(programSettings().autoCheckForUpdate);  // the box left alone, or not offered
    if (!onServer) continue;
    const std::vector<std::string> log = server->Log();
    ASSERT_EQ(log.size(), before + 1);
    EXPECT_EQ(log.back().substr(0, log.back().find('\t')), "/" + r.answer + "/morlen.ver");
    EXPECT_EQ(log.back().substr(log.back().find('\t') + 1), "Morlen/1.0.0") << "the User-Agent";
  }
}

TEST_F(UpdateCheck, StartupCheckShowsOnlyANewerVersion) {
  const std::pair<std::string, std::vector<std::string>> rows[] = {
      {"newer", {kNewer + "https://127.0.0.1/morlen-1.0.1|none"}}, {"same", {}}, {"older", {}}, {"others", {}},
      {"missing", {}}};
  for (const auto& [answer, shown] : rows) {
    SCOPED_TRACE(answer);
    updateServer() = server->Address(answer);
    programSettings().autoCheckForUpdate = true;
    const std::size_t before = server->Log().size();
    ResultWatcher watcher;
    NewFrame();
    EXPECT_TRUE(CheckDone());
    EXPECT_EQ(server->Log().size(), before + 1);
    EXPECT_EQ(watcher.seen, shown);
  }
}

TEST_F(UpdateCheck, UntickingTheBoxStopsTheNextStartupCheck) {
  updateServer() = server->Address("same");
  programSettings().autoCheckForUpdate = true;
  const std::size_t before = server->Log().size();
  const auto start = loopback::Clock::now();
  NewFrame();
  ASSERT_TRUE(CheckDone());
  const long long startupCheckMs = loopback::MillisecondsSince(start);
  ASSERT_EQ(server->Log().size(), before + 1) << "a start with the box ticked asks the server";
  {
    ResultWatcher watcher(true);
    CheckForUpdates();
    EXPECT_TRUE(CheckDone());
    EXPECT_EQ(watcher.seen, std::vector<std::string>{kLatest + "http://127.0.0.1/morlen|ticked"});
  }
  EXPECT_FALSE(programSettings().autoCheckForUpdate);
  ASSERT_TRUE(saveConfiguration());  // as leaving the program does
  EXPECT_NE(ReadText(configFilePath()).find("\"autoCheckForUpdate\":false"), std::string::npos);

  programSettings() = Settings{};  // the next start
  ASSERT_TRUE(loadConfiguration().reading.complete);
  NewFrame();
  EXPECT_EQ(frame->UpdateChecker(), nullptr);
  RunEventLoopFor(static_cast<int>(std::max<long long>(1500, 5 * startupCheckMs)));
  EXPECT_EQ(server->Log().size(), before + 2) << "only the two checks before asked the server";
}

// A server that accepts and never answers: the session goes on while the
// check waits behind its progress window, and Escape there ends the
// request at once, showing nothing.
TEST_F(UpdateCheck, ANeverAnsweringServerHoldsNothingUp) {
  const std::string typed = server->Path("typed"), out = server->Path("board");
  struct Ended {
    pid_t pid;
    ~Ended() { kill(pid, SIGTERM), waitpid(pid, nullptr, 0); }
  } board{StartBoard(typed, out)};
  unsigned port = 0;
  ASSERT_TRUE(RunEventLoopUntil([&] { return std::sscanf(ReadText(out).c_str(), "port %u", &port) == 1; }));
  AddressBookEntry entry;
  entry.address = "127.0.0.1";
  entry.port = static_cast<std::uint16_t>(port);
  programAddressBook().entries = {entry};
  NewFrame();
  auto status = [&](int field) { return frame->GetStatusBar()->GetStatusText(field).utf8_string(); };
  auto* connect = new wxCommandEvent(wxEVT_ADDRESS_BOOK_CONNECT);
  connect->SetInt(0);
  wxQueueEvent(frame, connect);
  ASSERT_TRUE(RunEventLoopUntil([&] { return status(0) == "Connected."; }, 5000)) << status(0);

  updateServer() = server->Address("hang");
  const std::size_t before = server->Log().size();
  ResultWatcher watcher;
  CheckForUpdates();
  ASSERT_TRUE(RunEventLoopUntil([&] { return server->Log().size() == before + 1; }, 5000)) << "no request";
  EXPECT_TRUE(ProgressShown());

  auto paints = std::make_shared<int>(0);
  frame->Canvas()->Bind(wxEVT_PAINT, [paints](wxPaintEvent& event) {
    ++*paints;
    event.Skip();
  });
  frame->Canvas()->Refresh();
  EXPECT_TRUE(RunEventLoopUntil([&] { return *paints > 0; })) << "no repaint";
  Press("Morlen v1\\.0\\.0/Vendorly", "a");
  EXPECT_TRUE(RunEventLoopUntil([&] { return ReadText(typed) == "A"; })) << "the key did not reach the board";
  EXPECT_EQ(server->Log().size(), before + 1) << "the check is still waiting";
  EXPECT_TRUE(ProgressShown());

  Press("Check for Updates", "Escape");
  const auto cancelled = loopback::Clock::now();
  EXPECT_TRUE(RunEventLoopUntil([&] { return server->Log().back() == "gone"; }, 5000));
  const long long hangUpMs = loopback::MillisecondsSince(cancelled);
  std::cout << "Escape to hang-up: " << hangUpMs << " ms\n";
  EXPECT_LT(hangUpMs, kPromptMs);
  EXPECT_TRUE(CheckDone());
  EXPECT_FALSE(ProgressShown());
  EXPECT_TRUE(watcher.seen.empty());
  EXPECT_FALSE(programSettings().autoCheckForUpdate) << "a cancelled check keeps nothing";
}

TEST_F(UpdateCheck, AStartupCheckStillWaitingEndsWithTheWindow) {
  updateServer() = server->Address("hang");
  programSettings().autoCheckForUpdate = true;
  const std::size_t before = server->Log().size();
  NewFrame();
  ASSERT_TRUE(RunEventLoopUntil([&] { return server->Log().size() == before + 1; }, 5000));
  frame->Destroy();
  frame = nullptr;
  // The request ends with the window, and reports to nobody.
  const auto closed = loopback::Clock::now();
  EXPECT_TRUE(RunEventLoopUntil([&] { return server->Log().back() == "gone"; }, 5000));
  EXPECT_LT(loopback::MillisecondsSince(closed), kPromptMs);
}

}  // namespace
