// Runs one Xmodem transfer of the program's engine against a real transfer
// program over loopback TCP, for the interoperability tests.
//   transfer_peer receive OUT [options] -- PROGRAM ARGS...
//   transfer_peer send FILE [options] -- PROGRAM ARGS...
// Options: --1k (send 1024-byte blocks), --drop-crc-requests (the program
// never sees "C", as a checksum-only sender), --speed-up N (timers run N
// times faster), --damage-every N (receive: one received byte in N is
// damaged), --peer-log PATH (the program's stderr).
// Prints "<ending> bytes=N seconds=S peer=STATUS"; exits 0 when the
// transfer completed and the program exited 0.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "TransferPeer.h"

namespace {

const char* endingName(TransferEnd end) {
  switch (end) {
    case TransferEnd::Running: return "running";
    case TransferEnd::Completed: return "completed";
    case TransferEnd::CancelledByUser: return "cancelled-by-user";
    case TransferEnd::CancelledByEndpoint: return "cancelled-by-endpoint";
    case TransferEnd::TooManyErrors: return "too-many-errors";
    case TransferEnd::OutOfSequence: return "out-of-sequence";
    case TransferEnd::NoAnswer: return "no-answer";
    case TransferEnd::FileTooLarge: return "file-too-large";
    case TransferEnd::ConnectionClosed: return "connection-closed";
  }
  return "?";
}

int usage() {
  std::fprintf(stderr, "usage: transfer_peer receive|send PATH [--1k] [--drop-crc-requests] [--speed-up N] "
                       "[--damage-every N] [--peer-log PATH] -- PROGRAM ARGS...\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 5) return usage();
  const std::string direction = argv[1], path = argv[2];
  bool oneK = false, dropCrc = false;
  double speedUp = 1;
  std::size_t damageEvery = 0;
  std::string peerLog;
  std::vector<std::string> program;
  int i = 3;
  for (; i < argc && std::strcmp(argv[i], "--") != 0; ++i) {
    const std::string option = argv[i];
    if (option == "--1k") {
      oneK = true;
    } else if (option == "--drop-crc-requests") {
      dropCrc = true;
    } else if (option == "--speed-up" && i + 1 < argc) {
      speedUp = std::stod(argv[++i]);
    } else if (option == "--damage-every" && i + 1 < argc) {
      damageEvery = std::stoul(argv[++i]);
    } else if (option == "--peer-log" && i + 1 < argc) {
      peerLog = argv[++i];
    } else {
      return usage();
    }
  }
  for (++i; i < argc; ++i) program.emplace_back(argv[i]);
  if (program.empty() || (direction != "receive" && direction != "send")) return usage();

  ByteBuffer file;
  if (direction == "send") {
    std::ifstream in(path, std::ios::binary);
    if (!in) return usage();
    file.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  std::optional<PeerProgram> peer = PeerProgram::start(program, peerLog);
  if (!peer) {
    std::perror("transfer_peer");
    return 1;
  }
  SocketLink link(peer->ourEnd());
  link.dropCrcRequests = dropCrc;
  RealTimeScheduler scheduler(speedUp);
  Xmodem xmodem(link, scheduler);
  const std::size_t size = file.size();
  if (direction == "send") {
    xmodem.initiateSend(std::move(file), oneK);
  } else {
    xmodem.initiate();
  }
  const PeerRunResult result = runXmodem(xmodem, peer->ourEnd(), scheduler, std::chrono::seconds(120), damageEvery);
  const int status = peer->finish();
  std::size_t bytes = size;
  if (direction == "receive") {
    const ByteBuffer& data = xmodem.receivedData();
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
    bytes = data.size();
  }
  std::printf("%s bytes=%zu seconds=%.3f peer=%d%s\n", endingName(result.end), bytes, result.seconds, status,
              result.timedOut ? " timed-out" : "");
  return result.end == TransferEnd::Completed && status == 0 ? 0 : 1;
}
