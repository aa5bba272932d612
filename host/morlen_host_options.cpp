// SPDX-License-Identifier: GPL-3.0-or-later
#include "host/morlen_host_options.h"

#include <cerrno>
#include <cstdlib>
#include <limits>

namespace {
constexpr std::uint64_t kMaxDelayMs = 60 * 1000;
constexpr std::uint64_t kMaxChunkBytes = 1 << 20;
constexpr std::uint64_t kMaxPort = std::numeric_limits<std::uint16_t>::max();
constexpr int kDecimal = 10;

[[noreturn]] void Fail(const std::string& message) { throw HostUsageError{message}; }

std::uint64_t ParseCount(const std::string& text, std::uint64_t max, const std::string& option) {
  char* end = nullptr;
  errno = 0;
  const unsigned long long value = std::strtoull(text.c_str(), &end, kDecimal);
  if (text.empty() || text[0] < '0' || text[0] > '9' || *end != '\0' || errno == ERANGE || value > max)
    Fail("bad value for " + option + ": " + text);
  return value;
}

}  // namespace

const char* const kHostVersion = "1.0.0";

const char* const kHostUsage =
    "usage: morlen-host [OPTIONS]\n"
    "\n"
    "A PETSCII board on 127.0.0.1 for trying the terminal without a network\n"
    "and for tests. It listens on the loopback address only, serves one\n"
    "connection at a time and prints 'port N' once it is listening. Without\n"
    "--script it runs its built-in demo board, which answers key presses.\n"
    "\n"
    "  --port N              TCP port (default 0: any free port)\n"
    "  --script FILE         send FILE (raw PETSCII bytes) to each caller\n"
    "                        instead of the demo board, then keep the line\n"
    "                        open until the caller hangs up\n"
    "  --record FILE         append every byte received to FILE as it arrives\n"
    "  --drop-after-bytes N  close the connection once N bytes have been sent\n"
    "                        (with --exec: N bytes of the script)\n"
    "  --delay-ms N          wait N ms between chunks of what is sent\n"
    "  --chunk-bytes N       chunk size for --delay-ms (default 64)\n"
    "  --exec CMD            after the --script bytes, run CMD through /bin/sh\n"
    "                        with the connection as its standard input and\n"
    "                        output; the connection ends when CMD exits\n"
    "                        (cannot be combined with --record)\n"
    "  --punter FILE         after the --script bytes, send FILE with Punter\n"
    "                        as a C64 board does: after each of its own\n"
    "                        words it drops what the caller sent meanwhile;\n"
    "                        the connection ends with the transfer\n"
    "  --multi-punter FILE   the same for a Multi-Punter batch: each FILE\n"
    "                        (give the option once per file) announced by\n"
    "                        its name, then sent with Punter\n"
    "  --once                exit after the first connection ends\n"
    "  --telnet              speak telnet to callers, as a telnet server\n"
    "                        would; with --write-config the entry has the\n"
    "                        terminal's Telnet option on\n"
    "  --stdio               serve one caller on standard input and output\n"
    "                        instead of listening (for a telnet server to run\n"
    "                        in place of login); a terminal there is put in\n"
    "                        raw mode\n"
    "  --write-config DIR    once listening, write a terminal configuration\n"
    "                        under DIR (use it as XDG_CONFIG_HOME) whose only\n"
    "                        address-book entry is this host\n"
    "  --help, --version\n"
    "\n"
    "Signals: SIGUSR1 drops the current connection; SIGTERM and SIGINT end\n"
    "the host, and the program run by --exec with it.\n"
    "Exit status: 0 on a clean end, 1 when the host cannot run, 2 for a bad\n"
    "command line.\n";

HostOptions ParseHostOptions(const std::vector<std::string>& args) {
  HostOptions options;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& option = args[i];
    auto value = [&]() -> const std::string& {
      if (++i == args.size() || args[i].empty()) Fail(option + " needs a value");
      return args[i];
    };
    if (option == "--help" || option == "-h") {
      options.help = true;
    } else if (option == "--version") {
      options.version = true;
    } else if (option == "--once") {
      options.once = true;
    } else if (option == "--telnet") {
      options.telnet = true;
    } else if (option == "--stdio") {
      options.stdio = true;
    } else if (option == "--port") {
      options.port = static_cast<std::uint16_t>(ParseCount(value(), kMaxPort, option));
    } else if (option == "--script") {
      options.scriptPath = value();
    } else if (option == "--record") {
      options.recordPath = value();
    } else if (option == "--exec") {
      options.execCommand = value();
    } else if (option == "--punter") {
      options.punterPath = value();
    } else if (option == "--multi-punter") {
      options.multiPunterPaths.push_back(value());
    } else if (option == "--write-config") {
      options.configDirectory = value();
    } else if (option == "--drop-after-bytes") {
      options.dropAfterBytes = ParseCount(value(), std::numeric_limits<std::uint64_t>::max(), option);
    } else if (option == "--delay-ms") {
      options.delayMs = ParseCount(value(), kMaxDelayMs, option);
    } else if (option == "--chunk-bytes") {
      options.chunkBytes = ParseCount(value(), kMaxChunkBytes, option);
      if (options.chunkBytes == 0) Fail("bad value for " + option + ": 0");
    } else {
      Fail("unknown option " + option);
    }
  }
  if (!options.execCommand.empty() && !options.recordPath.empty())
    Fail("--record does not work together with --exec");
  const int handOvers = !options.execCommand.empty() + !options.punterPath.empty() + !options.multiPunterPaths.empty();
  if (handOvers > 1) Fail("--exec, --punter and --multi-punter each take the whole line");
  if (handOvers > 0 && !options.recordPath.empty()) Fail("--record does not work together with --exec or --punter");
  if (!options.execCommand.empty() && (options.telnet || options.stdio))
    Fail("--exec does not work together with --telnet or --stdio");
  if (options.stdio && (options.port != 0 || !options.configDirectory.empty()))
    Fail("--stdio does not listen: --port and --write-config do not apply");
  return options;
}
