// The update check on the real main window against a version-file server
// on 127.0.0.1 (tests/update_server.py): what the manual and the start-up
// check show for each answer, the check box reaching the next start, and a
// pending start-up check ending with the window.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#include <wx/hyperlink.h>
#include <wx/uiaction.h>
#include <wx/wx.h>

#include <fstream>
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

// What a shown result held: title|text|link|box, line breaks (also those
// of the wrapping) as spaces, box "ticked", "unticked" or "none".
std::string Look(wxDialog* dialog, wxCheckBox*& box, wxButton*& ok) {
  wxString text, link;
  for (wxWindow* child : dialog->GetChildren()) {
    if (auto* t = dynamic_cast<wxStaticText*>(child)) text = t->GetLabel();
    if (auto* l = dynamic_cast<wxHyperlinkCtrl*>(child)) link = l->GetURL();
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
// closes it with OK; `untick` first clears the check box with a real click.
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
        Click(ok);
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
    qwx::UpdateCheckMessageBox() = [this](wxWindow*, const wxString& text, const wxString& caption) {
      failures.push_back((caption + "|" + text).utf8_string());
    };
  }
  void TearDown() override {
    if (frame) frame->Destroy();
    RunEventLoopFor(50);
    updateServer() = savedServer;
    qwx::UpdateCheckMessageBox() = savedMessageBox;
  }
  void NewFrame() {
    if (frame) frame->Destroy();
    frame = new MorlenFrame;
    frame->Show();
    RunEventLoopFor(100);
  }
  // The start-up check has been dealt with once its dialog is gone.
  bool StartupCheckDone() { return RunEventLoopUntil([&] { return frame->UpdateChecker() == nullptr; }, 10000); }

  static inline VersionServer* server = nullptr;
  MorlenFrame* frame = nullptr;
  std::vector<std::string> failures;
  const std::string savedServer = updateServer();
  const qwx::UpdateMessageBox savedMessageBox = qwx::UpdateCheckMessageBox();
};

const std::string kNewer =
    "Updates are available|A new version of Morlen has been released! Please visit the Vendorly web site to "
    "download v1.0.1.|";
const std::string kLatest = "No updates available|You already have the latest version: Morlen v1.0.0.|";
const std::string kMakerPage = std::string(kMakerAddress) + "/morlen";
const std::string kFailed = "Check for Updates|Unable to check for updates.\n";

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
      {"missing", kFailed + "The remote file doesn't exist."},
      {"toolarge", kFailed + "A generic network error occurred."},
      {"http://127.0.0.1:" + std::to_string(closedPort), kFailed + "The client failed to connect the server."},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.answer);
    const bool onServer = r.answer.rfind("http", 0) != 0;
    updateServer() = onServer ? server->Address(r.answer) : r.answer;
    failures.clear();
    const std::size_t before = server->Log().size();
    ResultWatcher watcher;
    wxCommandEvent command(wxEVT_MENU, command::kCheckForUpdates);
    frame->ProcessWindowEvent(command);
    std::vector<std::string> shown = watcher.seen;
    shown.insert(shown.end(), failures.begin(), failures.end());
    EXPECT_EQ(shown, std::vector<std::string>{r.shown});
    EXPECT_EQ(frame->UpdateChecker(), nullptr);
    EXPECT_TRUE(programSettings().autoCheckForUpdate);  // the box left alone, or not offered
    if (!onServer) continue;
    const std::vector<std::string> log = server->Log();
    ASSERT_EQ(log.size(), before + 1);
    EXPECT_EQ(log.back().substr(0, log.back().find('\t')), "/" + r.answer + "/morlen.ver");
    const std::string agent = log.back().substr(log.back().find('\t') + 1);
    EXPECT_TRUE(agent.rfind("Morlen/1.0.0 (Linux", 0) == 0 && agent.back() == ')') << agent;
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
    EXPECT_TRUE(StartupCheckDone());
    EXPECT_EQ(server->Log().size(), before + 1);
    EXPECT_EQ(watcher.seen, shown);
    EXPECT_TRUE(failures.empty());
  }
}

TEST_F(UpdateCheck, UntickingTheBoxStopsTheNextStartupCheck) {
  updateServer() = server->Address("same");
  programSettings().autoCheckForUpdate = true;
  const std::size_t before = server->Log().size();
  const auto start = loopback::Clock::now();
  NewFrame();
  ASSERT_TRUE(StartupCheckDone());
  const long long startupCheckMs = loopback::MillisecondsSince(start);
  ASSERT_EQ(server->Log().size(), before + 1) << "a start with the box ticked asks the server";
  {
    ResultWatcher watcher(true);
    wxCommandEvent command(wxEVT_MENU, command::kCheckForUpdates);
    frame->ProcessWindowEvent(command);
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

TEST_F(UpdateCheck, AStartupCheckStillWaitingEndsWithTheWindow) {
  updateServer() = server->Address("hang");
  programSettings().autoCheckForUpdate = true;
  const std::size_t before = server->Log().size();
  NewFrame();
  ASSERT_TRUE(RunEventLoopUntil([&] { return server->Log().size() == before + 1; }, 5000));
  frame->Destroy();
  frame = nullptr;
  // The worker hangs up long before its 30-second limit, and reports to nobody.
  EXPECT_TRUE(RunEventLoopUntil([&] { return server->Log().back() == "gone"; }, 5000));
}

}  // namespace
