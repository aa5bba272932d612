// SPDX-License-Identifier: GPL-3.0-or-later
// Reading configuration texts, sound and hostile: MB/s per text at two sizes,
// best of a few runs. Equal figures at both sizes mean time linear in the
// input; deep nesting must neither slow down nor exhaust the stack.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <random>
#include <string>

#include "settings/Base64.h"
#include "settings/Configuration.h"

namespace {
constexpr std::size_t kSmallBytes = 2u << 20;
constexpr std::size_t kLargeBytes = 16u << 20;
constexpr int kRuns = 3;

using Piece = std::function<std::string()>;

std::string Repeat(const Piece& piece, std::size_t bytes) {
  std::string text;
  while (text.size() < bytes) text += piece();
  text.resize(bytes);
  return text;
}

// A sound file with as many boards as fit, each with a picture.
std::string Sound(std::size_t bytes) {
  AddressBookEntry entry;
  entry.name = "A \"board\"";
  entry.address = "bbs.example";
  entry.screenshot = base64Encode(ByteBuffer(1500, 0xA0));
  const std::size_t count = bytes / (entry.screenshot.size() + 200);
  return configurationText(Settings{}, std::vector<AddressBookEntry>(count, entry));
}

double MegabytesPerSecond(const std::string& text) {
  double best = 0;
  for (int run = 0; run < kRuns; ++run) {
    Settings settings;
    AddressBook book;
    const auto start = std::chrono::steady_clock::now();
    readConfiguration(text, settings, book);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    best = std::max(best, static_cast<double>(text.size()) / 1e6 / took.count());
  }
  return best;
}

}  // namespace

int main() {
  std::mt19937 rng(64);
  const struct {
    const char* name;
    std::function<std::string(std::size_t)> make;
  } texts[] = {
      {"sound file", Sound},
      {"nested arrays", [](std::size_t n) { return std::string(n / 2, '[') + std::string(n / 2, ']'); }},
      {"unclosed objects", [](std::size_t n) { return std::string(n, '{'); }},
      {"stray closers", [](std::size_t n) { return "{" + std::string(n, ']'); }},
      {"backslashes in a string", [](std::size_t n) { return R"({"a":")" + std::string(n, '\\'); }},
      {"keys without values", [](std::size_t n) { return "{" + Repeat([] { return std::string(R"("k":,)"); }, n); }},
      {"random bytes", [&](std::size_t n) { return Repeat([&] { return std::string(1, char(rng())); }, n); }},
  };
  std::printf("%-26s %12s %12s\n", "text", "2 MB (MB/s)", "16 MB (MB/s)");
  for (const auto& t : texts) {
    std::printf("%-26s %12.1f %12.1f\n", t.name, MegabytesPerSecond(t.make(kSmallBytes)),
                MegabytesPerSecond(t.make(kLargeBytes)));
  }
}
