// SPDX-License-Identifier: GPL-3.0-or-later
// Runs one transfer of the program's engines against a real transfer
// program over loopback TCP, for the interoperability tests, or stands as
// such a program itself on its standard input and output (--stdio).
//   transfer_peer MODE PATH... [options] -- PROGRAM ARGS...
//   transfer_peer MODE PATH... [options] --stdio
//   transfer_peer MODE PATH... [options] --connect PORT
// Modes: receive OUT, send FILE (Xmodem); ymodem-receive DIR, ymodem-send
// FILE; punter-receive OUT, punter-send FILE; multi-punter-receive DIR,
// multi-punter-send FILE... (a batch receive saves its files into DIR as
// the terminal does). Options: --1k (Xmodem send in 1024-byte blocks),
// --drop-crc-requests (the program never sees "C", as a checksum-only
// sender), --speed-up N (timers run N times faster), --damage-every N
// (receive: one received byte in N is damaged), --peer-log PATH (the
// program's stderr), --connect PORT (no program: the peer answers on
// 127.0.0.1:PORT), --telnet (the terminal's telnet layer between the line
// and the engine).
// Prints "<ending> bytes=N files=F seconds=S peer=STATUS"; exits 0 when the
// transfer completed and the program exited 0.
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "MultiPunterSender.h"
#include "TransferPeer.h"
#include "transfer/DownloadFolder.h"
#include "transfer/MultiPunterReceive.h"
#include "transfer/Punter.h"
#include "transfer/PunterSend.h"
#include "transfer/YmodemReceive.h"
#include "transfer/YmodemSend.h"

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
    case TransferEnd::HeaderTooLong: return "header-too-long";
    case TransferEnd::TooManyFiles: return "too-many-files";
  }
  return "?";
}

int usage() {
  std::fprintf(stderr, "usage: transfer_peer MODE PATH... [--1k] [--drop-crc-requests] [--speed-up N] "
                       "[--damage-every N] [--peer-log PATH] [--telnet] (-- PROGRAM ARGS... | --stdio | --connect PORT)\n");
  return 2;
}

ByteBuffer readFile(const std::string& path, bool& ok) {
  std::ifstream in(path, std::ios::binary);
  ok = static_cast<bool>(in);
  return ByteBuffer(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string baseName(const std::string& path) { return path.substr(path.rfind('/') + 1); }

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) return usage();
  const std::string mode = argv[1];
  std::vector<std::string> paths;
  bool oneK = false, dropCrc = false, stdio = false, telnet = false;
  int port = 0;
  double speedUp = 1;
  std::size_t damageEvery = 0;
  std::string peerLog;
  std::vector<std::string> program;
  int i = 2;
  for (; i < argc && std::strncmp(argv[i], "--", 2) != 0; ++i) paths.emplace_back(argv[i]);
  for (; i < argc && std::strcmp(argv[i], "--") != 0; ++i) {
    const std::string option = argv[i];
    if (option == "--1k") {
      oneK = true;
    } else if (option == "--drop-crc-requests") {
      dropCrc = true;
    } else if (option == "--stdio") {
      stdio = true;
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
  const bool connectTo = port != 0;
  // The other end: a program, standard input and output, or a port.
  if (paths.empty() || !program.empty() + stdio + connectTo != 1) return usage();
  const bool sending = mode == "send" || mode == "ymodem-send" || mode == "punter-send" || mode == "multi-punter-send";

  std::vector<BatchFile> files;
  std::size_t bytes = 0;
  if (sending) {
    for (const std::string& path : paths) {
      bool ok = false;
      files.push_back(BatchFile{baseName(path), readFile(path, ok)});
      if (!ok) return usage();
      bytes += files.back().data.size();
    }
  }
  std::optional<PeerProgram> peer = program.empty() ? std::nullopt : PeerProgram::start(program, peerLog);
  const int fd = stdio ? STDIN_FILENO : peer ? peer->ourEnd() : connectTo ? connectLoopback(port) : -1;
  if (fd < 0) {
    std::perror("transfer_peer");
    return 1;
  }
  SocketLink raw(fd);
  raw.dropCrcRequests = dropCrc;
  TelnetSocketLink telnetLink(fd);
  TransferLink& link = telnet ? static_cast<TransferLink&>(telnetLink) : raw;
  RealTimeClock clock(speedUp);
  std::unique_ptr<FileTransfer> engine;
  if (mode == "receive" || mode == "send") {
    auto xmodem = std::make_unique<Xmodem>(link, clock);
    if (sending) {
      xmodem->initiateSend(files[0].data, oneK);
    } else {
      xmodem->initiate();
    }
    engine = std::move(xmodem);
  } else if (mode == "ymodem-receive") {
    auto ymodem = std::make_unique<YmodemReceive>(link, clock);
    ymodem->initiate();
    engine = std::move(ymodem);
  } else if (mode == "ymodem-send") {
    auto ymodem = std::make_unique<YmodemSend>(link, clock);
    ymodem->initiate(files[0].data, files[0].name, 0);
    engine = std::move(ymodem);
  } else if (mode == "punter-receive") {
    auto punter = std::make_unique<Punter>(link, clock);
    punter->initiate();
    engine = std::move(punter);
  } else if (mode == "punter-send") {
    auto punter = std::make_unique<PunterSend>(link, clock);
    punter->initiate(files[0].data, punterFileTypeOf(files[0].name));
    engine = std::move(punter);
  } else if (mode == "multi-punter-receive") {
    auto batch = std::make_unique<MultiPunterReceive>(link, clock);
    batch->initiate();
    engine = std::move(batch);
  } else if (mode == "multi-punter-send") {
    auto batch = std::make_unique<MultiPunterSender>(link, clock, files);
    batch->start();
    engine = std::move(batch);
  } else {
    return usage();
  }
  telnetLink.attach(*engine);
  if (telnet) telnetLink.layer().Start();
  const PeerRunResult result = runTransfer(*engine, fd, clock, std::chrono::seconds(300), damageEvery, sending,
                                           telnet ? &telnetLink.layer() : nullptr);
  const int status = peer ? peer->finish() : connectTo ? close(fd) : 0;
  std::size_t saved = 0;
  if (!sending) {
    // A batch's files go into the folder as the terminal saves them; a
    // single file to the path given.
    std::vector<BatchFile> received = engine->takeFiles();
    const bool batch = mode == "ymodem-receive" || mode == "multi-punter-receive";
    if (!batch && result.end == TransferEnd::Completed) received.push_back(BatchFile{"", engine->takeData()});
    DownloadFolder folder(paths[0]);
    bytes = 0;
    for (const BatchFile& file : received) {
      bytes += file.data.size();
      if (batch) {
        saved += folder.save(file.name, mode == "ymodem-receive" ? NameCharset::Ascii : NameCharset::Petscii,
                             file.data).ok;
      } else {
        std::ofstream out(paths[0], std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(file.data.data()), static_cast<std::streamsize>(file.data.size()));
        saved += static_cast<bool>(out);
      }
    }
  }
  std::fprintf(stdio ? stderr : stdout, "%s bytes=%zu files=%zu seconds=%.3f peer=%d%s\n", endingName(result.end),
               bytes, saved, result.seconds, status, result.timedOut ? " timed-out" : "");
  return result.end == TransferEnd::Completed && status == 0 ? 0 : 1;
}
