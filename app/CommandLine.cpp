// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CommandLine.h"

#include <utility>

#include "app/ProductInfo.h"

namespace {
constexpr int kUsageError = 2;
constexpr const char* kDisplayFlag = "--display";

constexpr const char* kHelp =
    "usage: morlen [--display DISPLAY]\n"
    "       morlen --help | --version\n"
    "\n"
    "Calls PETSCII bulletin-board systems over TCP and shows what they send\n"
    "as a Commodore 64 screen would. Everything else is done in its window;\n"
    "the settings and the address book are kept in\n"
    "~/.config/Vendorly/Morlen/morlen.config.\n"
    "\n"
    "  --display DISPLAY  the X display to open instead of $DISPLAY\n"
    "  -h, --help         print this help and exit\n"
    "  --version          print the version and exit\n";

CommandLineOutcome Stop(int exitCode, std::string out, std::string err) {
  return CommandLineOutcome{false, exitCode, std::move(out), std::move(err)};
}

CommandLineOutcome UsageError(const std::string& message) {
  return Stop(kUsageError, "", "morlen: " + message + " (try --help)\n");
}
}  // namespace

CommandLineOutcome ReadCommandLine(const std::vector<std::string>& args) {
  bool help = false;
  bool version = false;
  const std::string displayWithValue = std::string(kDisplayFlag) + "=";
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--help" || arg == "-h") {
      help = true;
    } else if (arg == "--version") {
      version = true;
    } else if (arg == kDisplayFlag) {
      if (i + 1 == args.size() || args[i + 1].empty()) return UsageError("--display needs a display name");
      ++i;
    } else if (arg.rfind(displayWithValue, 0) == 0) {
      if (arg.size() == displayWithValue.size()) return UsageError("--display needs a display name");
    } else if (!arg.empty() && arg[0] == '-') {
      return UsageError("unknown option '" + arg + "'");
    } else {
      return UsageError("unexpected argument '" + arg + "'");
    }
  }
  if (help) return Stop(0, kHelp, "");
  if (version) return Stop(0, std::string("morlen ") + productVersion + versionSuffix + "\n", "");
  return CommandLineOutcome{};
}
