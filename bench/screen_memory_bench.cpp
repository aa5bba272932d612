// SPDX-License-Identifier: GPL-3.0-or-later
// Memory the screen model takes per byte it was given, its byte log
// included, for ordinary output, RETURN floods and a hostile mix: below
// the row ceiling and past it. The program keeps a second log of the same
// bytes (the session buffer): add one byte per byte for the whole program.
//
// Counted as the growth of the resident set of a fresh child process per
// stream: the model's cell pages are mappings of their own, which the
// allocator's own figures do not see.
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "bench/BenchStreams.h"
#include "terminal/PetsciiTerminal.h"

namespace {
constexpr std::size_t kMiB = 1 << 20;

std::size_t ResidentBytes() {
  std::ifstream status("/proc/self/statm");
  std::size_t size = 0, resident = 0;
  status >> size >> resident;
  return resident * static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
}

void Measure(const char* name, ByteBuffer (*make)(std::size_t), std::size_t bytes) {
  std::fflush(stdout);
  const pid_t child = fork();
  if (child != 0) {
    waitpid(child, nullptr, 0);
    return;
  }
  const std::size_t before = ResidentBytes();
  PetsciiTerminal terminal;
  terminal.LoadBytes(make(bytes));
  terminal.Reset(PetsciiScreen::kDefaultColour, false);
  terminal.ProcessPending();
  const std::size_t used = ResidentBytes() - before;
  std::printf("%-24s %8.1f MiB %9llu rows %7.2f B/B\n", name, static_cast<double>(bytes) / kMiB,
              static_cast<unsigned long long>(terminal.Screen().RowCount()), static_cast<double>(used) / bytes);
  std::fflush(stdout);
  _exit(0);
}
}  // namespace

int main() {
  std::printf("%-24s %12s %14s %11s\n", "stream", "size", "rows kept", "resident");
  Measure("ordinary", bench::Ordinary, 16 * kMiB);
  Measure("ordinary, past ceiling", bench::Ordinary, 64 * kMiB);
  Measure("returns", bench::Returns, kMiB * 9 / 10);
  Measure("returns, past ceiling", bench::Returns, 64 * kMiB);
  Measure("hostile", bench::Hostile, 2 * kMiB);
  Measure("hostile, past ceiling", bench::Hostile, 64 * kMiB);
  return 0;
}
