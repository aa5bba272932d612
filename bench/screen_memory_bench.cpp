// Heap bytes the screen model takes per byte it was given, its byte log
// included, for ordinary output, RETURN floods and a hostile mix: below
// the row ceiling and past it. The program keeps a second log of the same
// bytes (the session buffer): add one byte per byte for the whole program.
#include <malloc.h>

#include <cstdio>

#include "bench/BenchStreams.h"
#include "terminal/PetsciiTerminal.h"

namespace {
constexpr std::size_t kMiB = 1 << 20;

std::size_t HeapInUse() {
  const struct mallinfo2 info = mallinfo2();
  return info.uordblks + info.hblkhd;
}

void Measure(const char* name, ByteBuffer (*make)(std::size_t), std::size_t bytes) {
  const std::size_t before = HeapInUse();
  PetsciiTerminal terminal;
  terminal.LoadBytes(make(bytes));
  terminal.Reset(PetsciiScreen::kDefaultColour, false);
  terminal.ProcessPending();
  const PetsciiScreen& screen = terminal.Screen();
  const std::size_t used = HeapInUse() - before;
  std::printf("%-24s %8.1f MiB %9llu rows %7.2f B/B\n", name, static_cast<double>(bytes) / kMiB,
              static_cast<unsigned long long>(screen.RowCount()), static_cast<double>(used) / bytes);
}
}  // namespace

int main() {
  std::printf("%-24s %12s %14s %11s\n", "stream", "size", "rows kept", "heap");
  Measure("ordinary", bench::Ordinary, 16 * kMiB);
  Measure("ordinary, past ceiling", bench::Ordinary, 64 * kMiB);
  Measure("returns", bench::Returns, kMiB * 9 / 10);
  Measure("returns, past ceiling", bench::Returns, 64 * kMiB);
  Measure("hostile", bench::Hostile, 2 * kMiB);
  Measure("hostile, past ceiling", bench::Hostile, 64 * kMiB);
  return 0;
}
