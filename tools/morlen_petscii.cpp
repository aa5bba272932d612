// morlen-petscii: looks inside SEQ files (PETSCII byte streams).
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include "terminal/PetsciiScreen.h"
#include "terminal/ScreenDump.h"

namespace {
constexpr int kUsageError = 2;
constexpr const char* kVersion = "1.0.0";

constexpr const char* kUsage =
    "usage: morlen-petscii dump [--fixed] [--colour N] [--summary] FILE\n"
    "\n"
    "Interprets FILE (- for standard input) as a PETSCII stream and prints\n"
    "the screen model it leaves: a line 'rows R top T cursor ROW COL', then\n"
    "one line per row: the index, S for a separator row or -, and each cell\n"
    "as CODE:COLOUR (four hex digits, colour index).\n"
    "  --fixed      fixed 25-row screen instead of scrollback\n"
    "  --colour N   initial colour index 0-15 (default 14)\n"
    "  --summary    print the first line only\n";

struct UsageError {
  std::string message;
};

[[noreturn]] void Fail(const std::string& message) { throw UsageError{message}; }

ByteBuffer ReadInput(const std::string& path) {
  if (path == "-") {
    std::cin >> std::noskipws;
    std::istreambuf_iterator<char> begin(std::cin), end;
    return ByteBuffer(begin, end);
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) Fail("cannot read " + path);
  try {
    // A directory opens but fails on the first read; the stream reports that by throwing.
    in.exceptions(std::ios::badbit);
    return ByteBuffer((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  } catch (const std::exception&) {
    Fail("cannot read " + path);
  }
}

unsigned long ParseUnsigned(const std::string& text, unsigned long max, const char* what) {
  char* end = nullptr;
  const unsigned long value = std::strtoul(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0' || text[0] == '-' || value > max)
    Fail(std::string("bad ") + what + ": " + text);
  return value;
}

struct ScreenOptions {
  bool fixed = false;
  std::uint8_t colour = PetsciiScreen::kDefaultColour;
  bool summary = false;
  std::vector<std::string> files;
};

ScreenOptions ParseScreenOptions(const std::vector<std::string>& args) {
  ScreenOptions options;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--fixed") {
      options.fixed = true;
    } else if (a == "--summary") {
      options.summary = true;
    } else if (a == "--colour") {
      if (++i == args.size()) Fail("--colour needs a value");
      options.colour = static_cast<std::uint8_t>(ParseUnsigned(args[i], 15, "colour"));
    } else if (a.size() > 1 && a[0] == '-' && a != "-") {
      Fail("unknown option " + a);
    } else {
      options.files.push_back(a);
    }
  }
  return options;
}

PetsciiScreen Interpret(const ScreenOptions& options, const std::string& path) {
  PetsciiScreen screen;
  screen.LoadBytes(ReadInput(path));
  screen.Reset(options.colour, options.fixed);
  screen.ProcessPending();
  return screen;
}

int Dump(const std::vector<std::string>& args) {
  const ScreenOptions options = ParseScreenOptions(args);
  if (options.files.size() != 1) Fail("dump takes one FILE");
  const PetsciiScreen screen = Interpret(options, options.files[0]);
  const std::string text = DumpScreen(screen, options.summary);
  std::fwrite(text.data(), 1, text.size(), stdout);
  return 0;
}
}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  try {
    if (args.empty()) Fail("no command given (try --help)");
    const std::string& command = args[0];
    if (std::find(args.begin(), args.end(), "--help") != args.end() || command == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    }
    if (command == "--version") {
      std::printf("morlen-petscii %s\n", kVersion);
      return 0;
    }
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (command == "dump") return Dump(rest);
    Fail("unknown command " + command);
  } catch (const UsageError& e) {
    std::fprintf(stderr, "morlen-petscii: %s\n", e.message.c_str());
    return kUsageError;
  }
}
