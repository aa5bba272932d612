// SPDX-License-Identifier: GPL-3.0-or-later
// Interpreter throughput on ordinary board output and on hostile streams.
// Prints MB/s per stream, history and fixed-screen mode, best of a few runs.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/BenchStreams.h"
#include "terminal/PetsciiTerminal.h"

namespace {
constexpr std::size_t kStreamBytes = 16u << 20;
constexpr int kRuns = 3;

ByteBuffer Repeated(const std::string& prefix, const std::string& unit) {
  bool first = true;
  return bench::Fill(kStreamBytes, [&](ByteBuffer& o) {
    if (first) bench::Append(o, prefix);
    first = false;
    bench::Append(o, unit);
  });
}

std::string FullScreen() {
  std::string s;
  for (int r = 0; r < 25; ++r) s += std::string(40, 'X');
  return s;
}

double MegabytesPerSecond(const ByteBuffer& stream, bool fixed) {
  double best = 1e30;
  for (int run = 0; run < kRuns; ++run) {
    PetsciiTerminal terminal;
    terminal.LoadBytes(stream);
    terminal.Reset(PetsciiScreen::kDefaultColour, fixed);
    const auto start = std::chrono::steady_clock::now();
    terminal.ProcessPending();
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    best = std::min(best, took.count());
  }
  return static_cast<double>(stream.size()) / (1 << 20) / best;
}
}  // namespace

int main() {
  struct Case {
    const char* name;
    ByteBuffer stream;
  };
  const std::string screen = FullScreen();
  std::string wideRows;  // two-row lines filled to their last cell by INST
  for (int r = 0; r < 25; ++r) wideRows += std::string(40, 'W') + "\x91" + std::string(80, '\x94') + "\x0d";
  const std::vector<Case> cases = {
      {"ordinary board output", bench::Ordinary(kStreamBytes)},
      {"INST run on a full row", Repeated(std::string(39, 'A') + "\x9d", "\x94")},
      {"INST/DEL on a full row", Repeated(std::string(39, 'A') + "\x9d", "\x94\x14\x1d")},
      {"DEL run", Repeated(screen, "\x14")},
      {"CLR run", Repeated(screen, "\x93")},
      {"text + CLR", Repeated("", "AB\x0d\x93")},
      {"charset switches, full screen", Repeated(screen + "\x13", "\x0e\x8e")},
      {"charset switches, wide rows", Repeated(wideRows, "\x0e\x8e")},
      {"cursor moves", Repeated(screen, "\x91\x9d\x11\x1d\x13\x9d")},
      {"colour codes", Repeated("", "\x05\x1c\x9e\x90\x81")},
      {"background pairs and text", Repeated("", "\x02\x97" "AB\x02" "C\x02\x0d")},
      {"background prefixes", Repeated("", "\x02")},
      {"clear on a cleared screen", Repeated("\x93", "\x0d\x93")},
      {"line feeds", Repeated("", "\x0d")},
      {"one char per row", Repeated("", "A\x0d")},
      {"far rows, deleted, cleared", Repeated("", std::string(200, '\x11') + "B\x14\x93\x93")},
  };
  std::printf("%-32s %12s %12s\n", "stream (16 MiB)", "history MB/s", "fixed MB/s");
  for (const Case& c : cases)
    std::printf("%-32s %12.0f %12.0f\n", c.name, MegabytesPerSecond(c.stream, false), MegabytesPerSecond(c.stream, true));
  return 0;
}
