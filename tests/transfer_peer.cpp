// Runs one Xmodem transfer of the program's engine against a real transfer
// program over loopback TCP, for the interoperability tests.
//   transfer_peer receive OUT [options] -- PROGRAM ARGS...
//   transfer_peer send FILE [options] -- PROGRAM ARGS...
//   transfer_peer receive|send PATH [options] --connect PORT
// Options: --1k (send 1024-byte blocks), --drop-crc-requests (the program
// never sees "C", as a checksum-only sender), --speed-up N (timers run N
// times faster), --damage-every N (receive: one received byte in N is
// damaged), --peer-log PATH (the program's stderr), --connect PORT (no
// program: the peer answers on 127.0.0.1:PORT), --telnet (the terminal's
// telnet layer between the line and the engine).
// Prints "<ending> bytes=N seconds=S peer=STATUS"; exits 0 when the
// transfer completed and the program exited 0.
#include <unistd.h>

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
                       "[--damage-every N] [--peer-log PATH] [--telnet] (-- PROGRAM ARGS... | --connect PORT)\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 5) return usage();
  const std::string direction = argv[1], path = argv[2];
  bool oneK = false, dropCrc = false, telnet = false;
  int port = 0;
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
    } else if (option == "--connect" && i + 1 < argc) {
      port = std::stoi(argv[++i]);
    } else if (option == "--telnet") {
      telnet = true;
    } else {
      return usage();
    }
  }
  for (++i; i < argc; ++i) program.emplace_back(argv[i]);
  if (program.empty() == (port == 0) || (direction != "receive" && direction != "send")) return usage();

  ByteBuffer file;
  if (direction == "send") {
    std::ifstream in(path, std::ios::binary);
    if (!in) return usage();
    file.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  std::optional<PeerProgram> peer = port == 0 ? PeerProgram::start(program, peerLog) : std::nullopt;
  const int fd = peer ? peer->ourEnd() : connectLoopback(static_cast<std::uint16_t>(port));
  if (fd < 0) {
    std::perror("transfer_peer");
    return 1;
  }
  SocketLink raw(fd);
  raw.dropCrcRequests = dropCrc;
  TelnetSocketLink telnetLink(fd);
  TransferLink& link = telnet ? static_cast<TransferLink&>(telnetLink) : raw;
  RealTimeScheduler scheduler(speedUp);
  Xmodem xmodem(link, scheduler);
  telnetLink.attach(xmodem);
  if (telnet) telnetLink.layer().Start();
  const std::size_t size = file.size();
  if (direction == "send") {
    xmodem.initiateSend(std::move(file), oneK);
  } else {
    xmodem.initiate();
  }
  const PeerRunResult result = runXmodem(xmodem, fd, scheduler, std::chrono::seconds(120), damageEvery,
                                         telnet ? &telnetLink.layer() : nullptr);
  const int status = peer ? peer->finish() : close(fd);
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
