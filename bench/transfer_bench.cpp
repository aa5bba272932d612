// SPDX-License-Identifier: GPL-3.0-or-later
// Xmodem over loopback TCP against Debian's lrzsz, one process per side:
//  - receiving 4 MiB in 1k blocks from `sx -X -k`: the program's engine
//    (through the test driver's poll loop) against `rx -X -c` on the same
//    kind of connection from the same sx, alternately, median of a few runs;
//  - sending 4 MiB and 16 MiB in 1k blocks to `rx -X -c`: the time until the
//    last block is acknowledged, which should grow linearly.
// Each receiver starts once sx is waiting for it; the engine's first C goes
// out after 2 ms instead of 2 s (rx asks at once).
#include <sys/resource.h>
#include <unistd.h>

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

using namespace bench;

namespace {

constexpr double kSpeedUp = 1000;
constexpr int kRounds = 9;
constexpr double kRxEotQuietSeconds = 1.0;
constexpr int kSendRounds = 5;

double cpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// The engine receives from sx; the time until sx has exited and the file is written.
double engineReceive(const std::string& file, const std::string& out, const ByteBuffer& original, double& cpu) {
  std::optional<PeerProgram> sx = PeerProgram::start({"sx", "-X", "-k", file}, "sx.log");
  if (!sx || !senderReady("sx.log")) return -1;
  const double cpuBefore = cpuSeconds();
  const Clock::time_point start = Clock::now();
  SocketLink link(sx->ourEnd());
  RealTimeClock clock(kSpeedUp);
  Xmodem xmodem(link, clock);
  xmodem.initiate();
  const PeerRunResult result = runTransfer(xmodem, sx->ourEnd(), clock, std::chrono::seconds(120));
  writeFile(out, xmodem.receivedData());
  const int status = sx->finish();
  const double elapsed = seconds(start);
  cpu = cpuSeconds() - cpuBefore;
  if (result.end != TransferEnd::Completed || status != 0 || !holds(readFile(out), original)) return -1;
  return elapsed;
}

// rx receives from sx over the same kind of connection.
double rxReceive(const std::string& file, const std::string& out, const ByteBuffer& original) {
  int ours = -1, theirs = -1;
  if (!loopbackPair(ours, theirs)) return -1;
  std::optional<PeerProgram> sx = PeerProgram::startOn(theirs, {"sx", "-X", "-k", file}, "sx.log");
  close(theirs);
  if (!sx || !senderReady("sx.log")) return -1;
  const Clock::time_point start = Clock::now();
  std::optional<PeerProgram> rx = PeerProgram::startOn(ours, {"rx", "-X", "-c", "-y", out}, out + ".log");
  close(ours);
  if (!rx) return -1;
  const int rxStatus = rx->finish(), sxStatus = sx->finish();
  const double elapsed = seconds(start);
  if (rxStatus != 0 || sxStatus != 0 || !holds(readFile(out), original)) return -1;
  return elapsed;
}

// The engine sends to rx; the time until the last block is acknowledged.
double engineSend(const ByteBuffer& file, const std::string& out, double& cpu) {
  const double cpuBefore = cpuSeconds();
  std::optional<PeerProgram> rx = PeerProgram::start({"rx", "-X", "-c", "-y", out}, out + ".log");
  if (!rx) return -1;
  SocketLink link(rx->ourEnd());
  RealTimeClock clock(1);
  Xmodem xmodem(link, clock);
  xmodem.initiateSend(file, true);
  const PeerRunResult result = runTransfer(xmodem, rx->ourEnd(), clock, std::chrono::seconds(300), 0, true);
  const int status = rx->finish();
  cpu = cpuSeconds() - cpuBefore;
  if (result.end != TransferEnd::Completed || status != 0 || !holds(readFile(out), file)) return -1;
  return result.dataSeconds;
}

}  // namespace

int main() {
  char pattern[] = "/tmp/morlen-transfer-bench-XXXXXX";
  if (mkdtemp(pattern) == nullptr) return 1;
  const std::string dir = pattern;
  // rx takes only names below its working directory.
  if (chdir(pattern) != 0) return 1;
  std::mt19937 random(4);
  ByteBuffer small(4u << 20), large(16u << 20);
  for (auto& b : small) b = static_cast<std::uint8_t>(random());
  for (auto& b : large) b = static_cast<std::uint8_t>(random());
  const std::string smallFile = "4MiB", out = "received";
  writeFile(smallFile, small);

  std::vector<double> engine, rx, engineCpu;
  for (int round = 0; round < kRounds; ++round) {
    double cpu = 0;
    engine.push_back(engineReceive(smallFile, out, small, cpu));
    engineCpu.push_back(cpu);
    rx.push_back(rxReceive(smallFile, out, small));
  }
  bool ok = std::all_of(engine.begin(), engine.end(), [](double s) { return s > 0; }) &&
            std::all_of(rx.begin(), rx.end(), [](double s) { return s > 0; });
  // rx checks that EOT is not line noise by waiting a second for quiet
  // before it answers; the engine answers at once.
  const double rxTransfer = median(rx) - kRxEotQuietSeconds;
  const double rxFastest = fastest(rx) - kRxEotQuietSeconds;
  std::printf("receive 4 MiB, 1k blocks from sx -X -k, %d rounds, median (fastest):\n", kRounds);
  std::printf("  engine %.3f s (%.3f s), %.3f s cpu in the driver\n", median(engine), fastest(engine),
              median(engineCpu));
  std::printf("  rx     %.3f s (%.3f s)   ratio %.2f (%.2f)\n", median(rx), fastest(rx), median(engine) / median(rx),
              fastest(engine) / fastest(rx));
  std::printf("  rx without its %.0f s wait after EOT: %.3f s (%.3f s)   ratio %.2f (%.2f)\n", kRxEotQuietSeconds,
              rxTransfer, rxFastest, median(engine) / rxTransfer, fastest(engine) / rxFastest);

  std::vector<double> send4, send16, cpu4, cpu16;
  for (int round = 0; round < kSendRounds; ++round) {
    double cpu = 0;
    send4.push_back(engineSend(small, out, cpu));
    cpu4.push_back(cpu);
    send16.push_back(engineSend(large, out, cpu));
    cpu16.push_back(cpu);
  }
  ok = ok && std::all_of(send4.begin(), send4.end(), [](double s) { return s > 0; }) &&
       std::all_of(send16.begin(), send16.end(), [](double s) { return s > 0; });
  std::printf("send in 1k blocks to rx -X -c until the last block is acknowledged, %d rounds, median (fastest):\n",
              kSendRounds);
  std::printf("  4 MiB %.3f s (%.3f s), %.3f s cpu   16 MiB %.3f s (%.3f s), %.3f s cpu\n", median(send4),
              fastest(send4), median(cpu4), median(send16), fastest(send16), median(cpu16));
  std::printf("  16 MiB / 4 MiB: %.2f (%.2f), cpu %.2f\n", median(send16) / median(send4),
              fastest(send16) / fastest(send4), median(cpu16) / median(cpu4));
  if (!ok) std::printf("a transfer failed\n");
  std::remove(smallFile.c_str());
  std::remove(out.c_str());
  if (ok) std::remove((out + ".log").c_str());
  std::remove("sx.log");
  if (chdir("/") == 0 && ok) rmdir(dir.c_str());
  return ok ? 0 : 1;
}
