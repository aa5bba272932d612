// SPDX-License-Identifier: GPL-3.0-or-later
// The batch and Punter engines over loopback TCP, one process per side:
//  - receiving a 4 MiB file in a Ymodem batch from `sb -k`: the program's
//    engine (through the test driver's poll loop, saving the file as the
//    terminal does) against `rb` on the same kind of connection from the
//    same sb, alternately, median and fastest of a few runs;
//  - sending 1 MiB and 4 MiB with Punter to the program's own Punter receive
//    (the test driver on the other end of the line), both waiting a
//    thousandth of their protocol times, so that what is measured is the
//    engines and the line, which should grow linearly with the file.
// Usage: transfer_batch_bench [TRANSFER_PEER] (default: ../tests/transfer_peer
// beside this program).
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "TransferBenchSupport.h"
#include "TransferPeer.h"
#include "transfer/DownloadFolder.h"
#include "transfer/PunterSend.h"
#include "transfer/YmodemReceive.h"

using namespace bench;

namespace {

constexpr int kRounds = 7;
constexpr int kSendRounds = 3;
constexpr double kSpeedUp = 1000;
// sb is started this long before the receiver, on both sides alike.
constexpr std::chrono::milliseconds kSenderStart{200};

// The engine receives the batch from sb and saves it into `folder`.
double engineReceive(const std::string& file, const std::string& folder, const ByteBuffer& original) {
  std::system(("rm -rf " + folder).c_str());
  std::optional<PeerProgram> sb = PeerProgram::start({"sb", "-k", file}, "");
  if (!sb) return -1;
  std::this_thread::sleep_for(kSenderStart);
  const Clock::time_point start = Clock::now();
  SocketLink link(sb->ourEnd());
  RealTimeClock clock(1);
  YmodemReceive ymodem(link, clock);
  ymodem.initiate();
  const PeerRunResult result = runTransfer(ymodem, sb->ourEnd(), clock, std::chrono::seconds(120));
  DownloadFolder downloads(folder);
  for (const BatchFile& received : ymodem.takeFiles()) downloads.save(received.name, NameCharset::Ascii, received.data);
  const int status = sb->finish();
  const double elapsed = seconds(start);
  if (result.end != TransferEnd::Completed || status != 0 || readFile(folder + "/" + file) != original) return -1;
  return elapsed;
}

// rb receives the batch from sb over the same kind of connection.
double rbReceive(const std::string& file, const std::string& folder, const ByteBuffer& original) {
  std::system(("rm -rf " + folder + " && mkdir " + folder).c_str());
  int ours = -1, theirs = -1;
  if (!loopbackPair(ours, theirs)) return -1;
  std::optional<PeerProgram> sb = PeerProgram::startOn(theirs, {"sb", "-k", file}, "");
  close(theirs);
  if (!sb) return -1;
  std::this_thread::sleep_for(kSenderStart);
  const Clock::time_point start = Clock::now();
  std::optional<PeerProgram> rb = PeerProgram::startOn(ours, {"sh", "-c", "cd " + folder + " && exec rb"}, "");
  close(ours);
  if (!rb) return -1;
  const int rbStatus = rb->finish(), sbStatus = sb->finish();
  const double elapsed = seconds(start);
  if (rbStatus != 0 || sbStatus != 0 || readFile(folder + "/" + file) != original) return -1;
  return elapsed;
}

// The engine sends with Punter to the program's own receive; the time
// until the receiver has the whole file.
double punterSend(const std::string& peer, const ByteBuffer& file) {
  const std::string speed = std::to_string(static_cast<int>(kSpeedUp));
  std::optional<PeerProgram> receiver =
      PeerProgram::start({peer, "punter-receive", "punter.got", "--speed-up", speed, "--stdio"}, "");
  if (!receiver) return -1;
  const Clock::time_point start = Clock::now();
  SocketLink link(receiver->ourEnd());
  RealTimeClock clock(kSpeedUp);
  PunterSend sender(link, clock);
  sender.initiate(file, punter::kProgramFile);
  const PeerRunResult result = runTransfer(sender, receiver->ourEnd(), clock, std::chrono::seconds(600));
  const int status = receiver->finish();
  const double elapsed = seconds(start);
  if (result.end != TransferEnd::Completed || status != 0 || readFile("punter.got") != file) return -1;
  return elapsed;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string self = argv[0];
  const std::string peer =
      argc > 1 ? argv[1] : self.substr(0, self.rfind('/') + 1) + "../tests/transfer_peer";
  char pattern[] = "/tmp/morlen-batch-bench-XXXXXX";
  if (mkdtemp(pattern) == nullptr || chdir(pattern) != 0) return 1;
  std::mt19937 random(28);
  ByteBuffer small(1u << 20), large(4u << 20);
  for (auto& b : small) b = static_cast<std::uint8_t>(random());
  for (auto& b : large) b = static_cast<std::uint8_t>(random());
  const std::string file = "4MiB";
  writeFile(file, large);

  std::vector<double> engine, rb;
  for (int round = 0; round < kRounds; ++round) {
    engine.push_back(engineReceive(file, "engine", large));
    rb.push_back(rbReceive(file, "rb", large));
  }
  bool ok = std::all_of(engine.begin(), engine.end(), [](double s) { return s > 0; }) &&
            std::all_of(rb.begin(), rb.end(), [](double s) { return s > 0; });
  std::printf("Ymodem batch of 4 MiB from sb -k, %d rounds, median (fastest):\n", kRounds);
  std::printf("  engine %.3f s (%.3f s)\n  rb     %.3f s (%.3f s)\n  engine / rb %.3f (%.3f)\n", median(engine),
              fastest(engine), median(rb), fastest(rb), median(engine) / median(rb), fastest(engine) / fastest(rb));

  std::vector<double> send1, send4;
  for (int round = 0; round < kSendRounds; ++round) {
    send1.push_back(punterSend(peer, small));
    send4.push_back(punterSend(peer, large));
  }
  ok = ok && std::all_of(send1.begin(), send1.end(), [](double s) { return s > 0; }) &&
       std::all_of(send4.begin(), send4.end(), [](double s) { return s > 0; });
  std::printf("Punter send to the program's own receive, waits a %.0fth, %d rounds, median (fastest):\n", kSpeedUp,
              kSendRounds);
  std::printf("  1 MiB %.3f s (%.3f s)   4 MiB %.3f s (%.3f s)   4 MiB / 1 MiB %.2f (%.2f)\n", median(send1),
              fastest(send1), median(send4), fastest(send4), median(send4) / median(send1),
              fastest(send4) / fastest(send1));
  if (!ok) std::printf("a transfer failed\n");
  if (chdir("/") == 0 && ok) std::system((std::string("rm -rf ") + pattern).c_str());
  return ok ? 0 : 1;
}
