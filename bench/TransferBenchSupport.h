// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the transfer benchmarks share: wall time, whole files, the median
// and fastest of their rounds, and the wait for lrzsz's sender.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "settings/ByteBuffer.h"

namespace bench {

using Clock = std::chrono::steady_clock;

inline double seconds(Clock::time_point from) { return std::chrono::duration<double>(Clock::now() - from).count(); }

inline ByteBuffer readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return ByteBuffer(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void writeFile(const std::string& path, const ByteBuffer& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// The copy begins with the whole original: an Xmodem receive may add padding.
inline bool holds(const ByteBuffer& copy, const ByteBuffer& original) {
  return copy.size() >= original.size() && std::equal(original.begin(), original.end(), copy.begin());
}

inline double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

inline double fastest(const std::vector<double>& values) { return *std::min_element(values.begin(), values.end()); }

// Waits until sx says it is ready for the receiver (on its stderr, `log`).
inline bool senderReady(const std::string& log) {
  constexpr double kLongestWaitSeconds = 10;
  constexpr useconds_t kPollMicroseconds = 200;
  const Clock::time_point start = Clock::now();
  while (seconds(start) < kLongestWaitSeconds) {
    std::ifstream in(log);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (text.find("receive command now") != std::string::npos) return true;
    usleep(kPollMicroseconds);
  }
  return false;
}

}  // namespace bench
