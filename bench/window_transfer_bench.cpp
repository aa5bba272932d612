// SPDX-License-Identifier: GPL-3.0-or-later
// The whole program receiving 4 MiB in 1k blocks from `sx -X -k` beside
// Debian's `rx -X -c` receiving the same file from the same sx, over
// loopback TCP, alternately, median of a few rounds.
// The program: its real main window (socket, event loop, timers, status
// bar) connects to a listener of this benchmark, whose accepted end is sx's
// standard input and output; "Xmodem Receive" with "Prompt after Receive"
// on, timed until the file is saved. It sends its first C after the 2 s the
// protocol's handshake waits; rx waits a second for quiet after the EOT.
// Both are shown with and without those waits. Needs a display (make bench
// runs it under Xvfb).
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>
#include <wx/evtloop.h>
#include <wx/wx.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "TransferBenchSupport.h"
#include "TransferPeer.h"
#include "app/CommandIds.h"
#include "app/FileChooser.h"
#include "app/MorlenApp.h"
#include "app/MorlenFrame.h"
#include "settings/AddressBook.h"
#include "settings/Settings.h"

using namespace bench;

namespace {

constexpr int kRounds = 5;
constexpr double kHandshakeSeconds = 2.0;
constexpr double kRxEotQuietSeconds = 1.0;
constexpr int kCheckEveryMs = 5;
constexpr int kLimitSeconds = 120;

// Runs the program's event loop until `done` or the limit.
bool runUntil(const std::function<bool()>& done) {
  const Clock::time_point start = Clock::now();
  wxGUIEventLoop loop;
  wxTimer check;
  check.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
    if (wxEventLoopBase::GetActive() == &loop && (done() || seconds(start) > kLimitSeconds)) loop.Exit();
  });
  check.Start(kCheckEveryMs);
  loop.Run();
  return done();
}

wxString status(MorlenFrame& frame) { return frame.GetStatusBar()->GetStatusText(0); }

// When the program asked where to save: the moment its receive completed.
Clock::time_point receivedAt;

struct ProgramTimes {
  double received = -1;  // from the command to the end of the receive
  double saved = -1;     // to the file saved
};

// The program receives from sx on a connection it made to `listener`.
ProgramTimes programReceive(MorlenFrame& frame, int listener, const std::string& file, const ByteBuffer& original,
                            const std::string& out) {
  auto* request = new wxCommandEvent(wxEVT_ADDRESS_BOOK_CONNECT);
  request->SetInt(0);
  wxQueueEvent(&frame, request);
  int accepted = -1;
  if (!runUntil([&] {
        if (accepted < 0) accepted = accept(listener, nullptr, nullptr);
        return accepted >= 0 && frame.Connected() && status(frame) == "Connected.";
      }))
    return {};
  // As loopbackPair sets up rx's run: sx's small writes go out at once.
  const int on = 1;
  setsockopt(accepted, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
  std::remove(out.c_str());
  std::optional<PeerProgram> sx = PeerProgram::startOn(accepted, {"sx", "-X", "-k", file}, "sx.log");
  if (!sx || !senderReady("sx.log")) return {};
  const Clock::time_point start = Clock::now();
  wxCommandEvent receive(wxEVT_MENU, command::kXmodemReceive);
  frame.GetEventHandler()->ProcessEvent(receive);
  const bool saved = runUntil([&] { return status(frame).StartsWith("Saved "); });
  const double elapsed = seconds(start);
  close(accepted);
  const int sxStatus = sx->finish();
  wxCommandEvent disconnect(wxEVT_MENU, command::kDisconnect);
  frame.GetEventHandler()->ProcessEvent(disconnect);
  if (!saved || sxStatus != 0 || !holds(readFile(out), original)) return {};
  return {std::chrono::duration<double>(receivedAt - start).count(), elapsed};
}

// rx receives from sx over the same kind of connection; until rx has exited.
double rxReceive(const std::string& file, const ByteBuffer& original, const std::string& out) {
  int ours = -1, theirs = -1;
  if (!loopbackPair(ours, theirs)) return -1;
  std::optional<PeerProgram> sx = PeerProgram::startOn(theirs, {"sx", "-X", "-k", file}, "sx.log");
  close(theirs);
  if (!sx || !senderReady("sx.log")) return -1;
  const Clock::time_point start = Clock::now();
  std::optional<PeerProgram> rx = PeerProgram::startOn(ours, {"rx", "-X", "-c", "-y", out}, "rx.log");
  close(ours);
  if (!rx) return -1;
  const int rxStatus = rx->finish(), sxStatus = sx->finish();
  const double elapsed = seconds(start);
  if (rxStatus != 0 || sxStatus != 0 || !holds(readFile(out), original)) return -1;
  return elapsed;
}

}  // namespace

int main(int argc, char** argv) {
  char pattern[] = "/tmp/morlen-window-bench-XXXXXX";
  if (mkdtemp(pattern) == nullptr) return 1;
  const std::string dir = pattern;
  // A configuration of its own, and rx takes only names below its working directory.
  setenv("HOME", pattern, 1);
  unsetenv("XDG_CONFIG_HOME");
  if (chdir(pattern) != 0) return 1;
  wxApp::SetInstance(new MorlenApp);
  if (!wxEntryStart(argc, argv)) {
    std::fprintf(stderr, "no display\n");
    return 1;
  }
  PrepareProgram();

  std::mt19937 random(4);
  ByteBuffer original(4u << 20);
  for (std::uint8_t& b : original) b = static_cast<std::uint8_t>(random());
  const std::string file = "4MiB", programOut = dir + "/program-copy", rxOut = "rx-copy";
  writeFile(file, original);

  int port = 0;
  const int listener = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  if (bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(listener, 1) != 0 ||
      getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) != 0)
    return 1;
  port = ntohs(address.sin_port);
  fcntl(listener, F_SETFL, O_NONBLOCK);

  programSettings().autoCheckForUpdate = false;
  programSettings().dialogOnReceived = true;
  AddressBookEntry entry;
  entry.address = "127.0.0.1";
  entry.port = static_cast<std::uint16_t>(port);
  programAddressBook().entries = {entry};
  ProgramFileChooser() = [&](wxWindow*, const FileRequest&) {
    receivedAt = Clock::now();
    return wxString(programOut);
  };
  auto* frame = new MorlenFrame;
  frame->Show();

  std::vector<double> received, saved, rx;
  for (int round = 0; round < kRounds; ++round) {
    const ProgramTimes times = programReceive(*frame, listener, file, original, programOut);
    received.push_back(times.received);
    saved.push_back(times.saved);
    rx.push_back(rxReceive(file, original, rxOut));
  }
  const auto positive = [](const std::vector<double>& v) {
    return std::all_of(v.begin(), v.end(), [](double s) { return s > 0; });
  };
  const bool ok = positive(received) && positive(saved) && positive(rx);
  const double programTime = median(saved), rxTime = median(rx);
  const double programData = median(received) - kHandshakeSeconds, rxData = rxTime - kRxEotQuietSeconds;
  std::printf("receive 4 MiB, 1k blocks from sx -X -k, %d rounds, median:\n", kRounds);
  std::printf("  program, command to file saved %.3f s   rx %.3f s   ratio %.2f\n", programTime, rxTime,
              programTime / rxTime);
  std::printf("  without the program's %.0f s handshake and rx's %.0f s wait after EOT: %.3f s   %.3f s   ratio %.2f\n",
              kHandshakeSeconds, kRxEotQuietSeconds, programData, rxData, programData / rxData);
  std::printf("  the program's save (temporary file, sync, rename) %.3f s\n", median(saved) - median(received));
  if (!ok) std::printf("a transfer failed\n");
  frame->Destroy();
  close(listener);
  wxEntryCleanup();
  if (chdir("/") == 0) std::system(("rm -rf '" + dir + "'").c_str());
  return ok ? 0 : 1;
}
