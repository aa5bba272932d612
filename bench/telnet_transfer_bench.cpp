// SPDX-License-Identifier: GPL-3.0-or-later
// A 4 MiB Xmodem-1k receive from `sx -X -k` over loopback TCP, raw and
// through telnet, side by side. Both go the same way: sx, a relay thread,
// the engine with its poll loop; the relay passes bytes as they are for
// raw, and speaks telnet as a server would for telnet (the host's telnet
// side: its opening, 0xFF doubled towards the engine, undoubled towards
// sx), while the engine gets the terminal's telnet layer. Alternate runs,
// median and fastest of each; random data, and a file of 0xFF bytes alone
// (every byte doubled on the line) as the worst case. The layer's own part
// is timed too: the same data, encoded as a server sends it, through the
// layer in reads of 4096 bytes with an answer per block.
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "TransferBenchSupport.h"
#include "TransferPeer.h"
#include "host/morlen_host_telnet.h"

using namespace bench;

namespace {

constexpr double kSpeedUp = 1000;  // the engine's first C after 2 ms
constexpr int kRounds = 9;
constexpr std::size_t kFileBytes = 4u << 20;
constexpr std::size_t kReadSize = 4096;
constexpr int kPollMs = 100;

bool writeAll(int fd, const std::uint8_t* bytes, std::size_t size) {
  while (size > 0) {
    const ssize_t n = send(fd, bytes, size, MSG_NOSIGNAL);
    if (n <= 0) return false;
    bytes += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

// Between sx and the engine until either side closes.
void relay(int sxSide, int engineSide, bool telnet) {
  HostTelnet server;
  ByteBuffer out;
  if (telnet) {
    server.Open(out);
    writeAll(engineSide, out.data(), out.size());
  }
  std::uint8_t buffer[kReadSize];
  for (;;) {
    pollfd sides[2] = {{sxSide, POLLIN, 0}, {engineSide, POLLIN, 0}};
    if (poll(sides, 2, kPollMs) < 0) break;
    if (sides[0].revents != 0) {
      const ssize_t n = recv(sxSide, buffer, sizeof buffer, 0);
      if (n <= 0) break;
      out.clear();
      if (telnet) server.Encode(buffer, static_cast<std::size_t>(n), out);
      const bool sent = telnet ? writeAll(engineSide, out.data(), out.size())
                               : writeAll(engineSide, buffer, static_cast<std::size_t>(n));
      if (!sent) break;
    }
    if (sides[1].revents != 0) {
      const ssize_t n = recv(engineSide, buffer, sizeof buffer, 0);
      if (n <= 0) break;
      if (!telnet) {
        if (!writeAll(sxSide, buffer, static_cast<std::size_t>(n))) break;
        continue;
      }
      out.clear();
      const ByteBuffer& data = server.Decode(buffer, static_cast<std::size_t>(n), out);
      if (!writeAll(engineSide, out.data(), out.size()) || !writeAll(sxSide, data.data(), data.size())) break;
    }
  }
  shutdown(engineSide, SHUT_RDWR);
  shutdown(sxSide, SHUT_RDWR);
}

// One receive; its seconds, or -1 when it did not bring the file.
double receive(const std::string& file, const ByteBuffer& original, bool telnet) {
  std::optional<PeerProgram> sx = PeerProgram::start({"sx", "-X", "-k", file}, "sx.log");
  int relayEnd = -1, engineEnd = -1;
  if (!sx || !senderReady("sx.log") || !loopbackPair(relayEnd, engineEnd)) return -1;
  std::thread relaying(relay, sx->ourEnd(), relayEnd, telnet);
  SocketLink raw(engineEnd);
  TelnetSocketLink telnetLink(engineEnd);
  RealTimeClock clock(kSpeedUp);
  Xmodem xmodem(telnet ? static_cast<TransferLink&>(telnetLink) : raw, clock);
  telnetLink.attach(xmodem);
  if (telnet) telnetLink.layer().Start();
  xmodem.initiate();
  const PeerRunResult result = runTransfer(xmodem, engineEnd, clock, std::chrono::seconds(120), 0, false,
                                           telnet ? &telnetLink.layer() : nullptr);
  shutdown(engineEnd, SHUT_RDWR);
  relaying.join();
  close(engineEnd);
  close(relayEnd);
  sx->finish();
  const ByteBuffer& got = xmodem.receivedData();
  return result.end == TransferEnd::Completed && holds(got, original) ? result.seconds : -1;
}

class Counting : public TelnetPeer {
 public:
  void TelnetData(const std::uint8_t*, std::size_t length) override { data += length; }
  void TelnetWrite(const std::uint8_t*, std::size_t) override {}
  void Notice(TelnetNotice) override {}
  std::size_t data = 0;
};

// Milliseconds the terminal's layer spends on the receive of `bytes`.
double layerMilliseconds(const ByteBuffer& bytes) {
  HostTelnet server;
  ByteBuffer line;
  server.Open(line);
  server.Encode(bytes.data(), bytes.size(), line);
  Counting peer;
  TelnetLayer layer(peer);
  layer.Start();
  const std::uint8_t ack = 0x06;
  const Clock::time_point start = Clock::now();
  for (std::size_t at = 0; at < line.size(); at += kReadSize)
    layer.Receive(line.data() + at, std::min(kReadSize, line.size() - at));
  for (std::size_t block = 0; block < bytes.size() / 1024; ++block) layer.Send(&ack, 1);
  const double ms = seconds(start) * 1000;
  return peer.data == bytes.size() ? ms : -1;
}

bool compare(const char* what, const std::string& file, const ByteBuffer& bytes) {
  writeFile(file, bytes);
  std::vector<double> raw, telnet;
  for (int round = 0; round < kRounds; ++round) {
    const double r = receive(file, bytes, false), t = receive(file, bytes, true);
    if (r < 0 || t < 0) {
      std::printf("%s: a receive failed (raw %.3f, telnet %.3f)\n", what, r, t);
      return false;
    }
    raw.push_back(r);
    telnet.push_back(t);
  }
  const double rawMedian = median(raw), telnetMedian = median(telnet);
  std::printf("%-26s raw TCP  median %.3f s, fastest %.3f s (%.1f MiB/s)\n", what, rawMedian,
              *std::min_element(raw.begin(), raw.end()), kFileBytes / rawMedian / (1 << 20));
  std::printf("%-26s telnet   median %.3f s, fastest %.3f s (%.1f MiB/s); telnet adds %+.1f%%\n", "",
              telnetMedian, *std::min_element(telnet.begin(), telnet.end()), kFileBytes / telnetMedian / (1 << 20),
              100.0 * (telnetMedian - rawMedian) / rawMedian);
  const double layerMs = layerMilliseconds(bytes);
  std::printf("%-26s the layer's own part: %.1f ms, %.1f%% of the raw median\n", "", layerMs,
              layerMs / 10.0 / rawMedian);
  return layerMs >= 0;
}

}  // namespace

int main() {
  char pattern[] = "/tmp/morlen-telnet-bench-XXXXXX";
  if (mkdtemp(pattern) == nullptr || chdir(pattern) != 0) return 1;
  std::mt19937 random(24);
  ByteBuffer mixed(kFileBytes), allFF(kFileBytes, 0xFF);
  for (auto& b : mixed) b = static_cast<std::uint8_t>(random());
  std::printf("Xmodem-1k receive of 4 MiB from sx over loopback, %d rounds each\n", kRounds);
  const bool ok = compare("random bytes", "mixed", mixed) && compare("0xFF bytes only", "ff", allFF);
  std::system(("rm -rf " + std::string(pattern)).c_str());
  return ok ? 0 : 1;
}
