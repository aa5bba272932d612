// SPDX-License-Identifier: GPL-3.0-or-later
// morlen-petscii: looks inside SEQ files (PETSCII byte streams).
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "settings/AtomicFileWrite.h"
#include "settings/FileHelpers.h"
#include "terminal/CharacterChart.h"
#include "terminal/PetsciiTerminal.h"
#include "terminal/PngEncoder.h"
#include "terminal/ScreenCompositor.h"
#include "terminal/ScreenDump.h"

namespace {
constexpr int kUsageError = 2;
constexpr int kWriteError = 1;
constexpr std::size_t kReadChunk = 1 << 16;
constexpr const char* kVersion = "1.0.0";

constexpr const char* kUsage =
    "usage: morlen-petscii dump [--fixed] [--colour N] [--background N] [--charset upper|lower]\n"
    "                           [--summary] FILE\n"
    "       morlen-petscii render [--fixed] [--colour N] [--background N] [--charset upper|lower]\n"
    "                             [--scale S] [--all] [--border N] FILE OUT.png\n"
    "       morlen-petscii chart [--scale S] OUT.png\n"
    "\n"
    "dump interprets FILE (- for standard input) as a PETSCII stream and\n"
    "prints the screen model it leaves: a line 'rows R top T cursor ROW COL'\n"
    "(followed by 'background B' unless the background is black), then one\n"
    "line per row: the index, S for a separator row or -, and each cell as\n"
    "CODE:COLOUR (four hex digits, colour index).\n"
    "render draws that model as the terminal shows it: the 25 rows from the\n"
    "top of the screen, or with --all every row from the first, on the\n"
    "screen's background colour (CTRL-B and a colour code set it).\n"
    "Most PETSCII art expects the upper case/graphics set a C64 starts in:\n"
    "give it --charset upper.\n"
    "chart draws every glyph of both character sets, normal and reversed.\n"
    "  --fixed      fixed 25-row screen instead of scrollback\n"
    "  --colour N   initial colour index 0-15 (default 14)\n"
    "  --background N\n"
    "               initial background colour index 0-15 (default 0)\n"
    "  --charset upper|lower\n"
    "               the character set before the first byte: upper case/\n"
    "               graphics, or lower/upper case (the default)\n"
    "  --summary    print the first line only\n"
    "  --scale S    pixels per glyph pixel, 1-8 (default 2)\n"
    "  --all        every row, not only the last screen\n"
    "  --border N   draw the C64's border around the screen in colour index\n"
    "               0-15 (14 is the C64's own light blue): 32 pixels at the\n"
    "               sides, 36 above and below, times the scale\n";

struct UsageError {
  std::string message;
};

// A file that could not be written; the file there before is left whole.
struct WriteError {
  std::string message;
};

[[noreturn]] void Fail(const std::string& message) { throw UsageError{message}; }

ByteBuffer ReadInput(const std::string& path) {
  if (path == "-") {
    ByteBuffer bytes;
    std::vector<std::uint8_t> chunk(kReadChunk);
    for (std::size_t n; (n = std::fread(chunk.data(), 1, chunk.size(), stdin)) > 0;)
      bytes.insert(bytes.end(), chunk.begin(), chunk.begin() + static_cast<std::ptrdiff_t>(n));
    return bytes;
  }
  LoadedFile file;
  if (!readWholeFile(path, file)) Fail("cannot read " + path);
  return std::move(file.bytes);
}

unsigned long ParseUnsigned(const std::string& text, unsigned long max, const char* what) {
  char* end = nullptr;
  const unsigned long value = std::strtoul(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0' || text[0] == '-' || value > max)
    Fail(std::string("bad ") + what + ": " + text);
  return value;
}

constexpr int kDefaultScale = 2;

constexpr int kLastColour = 15;

struct ScreenOptions {
  bool fixed = false;
  std::uint8_t colour = PetsciiScreen::kDefaultColour;
  std::uint8_t background = PetsciiScreen::kDefaultBackground;
  int lowerCase = 1;  // the set before the first byte, as the terminal starts
  int border = -1;    // colour index of the border, -1: none
  bool summary = false;
  int scale = kDefaultScale;
  bool all = false;
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
    } else if (a == "--all") {
      options.all = true;
    } else if (a == "--scale") {
      if (++i == args.size()) Fail("--scale needs a value");
      options.scale = static_cast<int>(ParseUnsigned(args[i], kMaxScale, "scale"));
      if (options.scale < kMinScale) Fail("bad scale: " + args[i]);
    } else if (a == "--colour") {
      if (++i == args.size()) Fail("--colour needs a value");
      options.colour = static_cast<std::uint8_t>(ParseUnsigned(args[i], kLastColour, "colour"));
    } else if (a == "--background") {
      if (++i == args.size()) Fail("--background needs a value");
      options.background = static_cast<std::uint8_t>(ParseUnsigned(args[i], kLastColour, "background"));
    } else if (a == "--charset") {
      if (++i == args.size()) Fail("--charset needs a value");
      if (args[i] != "upper" && args[i] != "lower") Fail("bad charset: " + args[i] + " (upper or lower)");
      options.lowerCase = args[i] == "lower" ? 1 : 0;
    } else if (a == "--border") {
      if (++i == args.size()) Fail("--border needs a value");
      options.border = static_cast<int>(ParseUnsigned(args[i], kLastColour, "border colour"));
    } else if (a.size() > 1 && a[0] == '-' && a != "-") {
      Fail("unknown option " + a);
    } else {
      options.files.push_back(a);
    }
  }
  return options;
}

PetsciiTerminal Interpret(const ScreenOptions& options, const std::string& path) {
  PetsciiTerminal terminal;
  terminal.LoadBytes(ReadInput(path));
  terminal.Reset(options.colour, options.fixed, options.background);
  terminal.SetStartCharset(options.lowerCase);
  terminal.ProcessPending();
  return terminal;
}

int Dump(const std::vector<std::string>& args) {
  const ScreenOptions options = ParseScreenOptions(args);
  if (options.files.size() != 1) Fail("dump takes one FILE");
  if (options.border >= 0) Fail("dump takes no --border");
  const PetsciiTerminal terminal = Interpret(options, options.files[0]);
  const PetsciiScreen& screen = terminal.Screen();
  const std::string text = DumpScreen(screen, options.summary);
  std::fwrite(text.data(), 1, text.size(), stdout);
  return 0;
}
// Replaced whole or not at all: a full disk never leaves a cut-off picture.
void Write(const PixelBuffer& pixels, const std::string& path) {
  const ByteBuffer png = EncodePng(pixels);
  const FileReplacement written =
      replaceFileAtomically(path, std::string_view(reinterpret_cast<const char*>(png.data()), png.size()));
  if (!written) throw WriteError{saveFailureText(path, written.error)};
}

int Render(const std::vector<std::string>& args) {
  const ScreenOptions options = ParseScreenOptions(args);
  if (options.files.size() != 2) Fail("render takes FILE and OUT.png");
  const PetsciiTerminal terminal = Interpret(options, options.files[0]);
  const PetsciiScreen& screen = terminal.Screen();
  const std::uint64_t first = options.all ? 0 : screen.Top();
  const std::uint64_t rows = options.all ? std::max<std::uint64_t>(screen.RowCount(), 1) : PetsciiScreen::kRows;
  PixelBuffer pixels;
  ComposeScreen(ScreenRequest(screen, options.scale, first, rows), pixels);
  if (options.border >= 0) AddBorder(pixels, kBuiltInPalette[options.border], options.scale);
  Write(pixels, options.files[1]);
  return 0;
}

int Chart(const std::vector<std::string>& args) {
  const ScreenOptions options = ParseScreenOptions(args);
  if (options.files.size() != 1 || options.fixed || options.all || options.summary || options.border >= 0)
    Fail("chart takes [--scale S] OUT.png");
  const PetsciiScreen chart = CharacterChart();
  PixelBuffer pixels;
  ComposeScreen(ScreenRequest(chart, options.scale, 0, chart.RowCount()), pixels);
  Write(pixels, options.files[0]);
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
    if (command == "render") return Render(rest);
    if (command == "chart") return Chart(rest);
    Fail("unknown command " + command);
  } catch (const UsageError& e) {
    std::fprintf(stderr, "morlen-petscii: %s\n", e.message.c_str());
    return kUsageError;
  } catch (const WriteError& e) {
    std::fprintf(stderr, "morlen-petscii: %s\n", e.message.c_str());
    return kWriteError;
  }
}
