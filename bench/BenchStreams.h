// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Streams the benchmarks feed the screen model, made from a fixed seed.
#include <cstdint>
#include <functional>
#include <random>
#include <string>

#include "settings/ByteBuffer.h"

namespace bench {

inline void Append(ByteBuffer& out, const std::string& s) { out.insert(out.end(), s.begin(), s.end()); }

// Pieces from `piece` until `bytes` bytes, the last piece cut.
inline ByteBuffer Fill(std::size_t bytes, const std::function<void(ByteBuffer&)>& piece) {
  ByteBuffer out;
  out.reserve(bytes + 4096);
  while (out.size() < bytes) piece(out);
  out.resize(bytes);
  return out;
}

// One line of menus and messages: a colour code, words and reversed
// graphics, a RETURN; now and then a clear.
inline void OrdinaryLine(std::mt19937& rng, int line, ByteBuffer& o) {
  static const std::string words[] = {"MESSAGE ", "BASE ", "FILES ", "(Q)UIT ", "SYSOP ", "NEW ", "C64 ", "READY. "};
  static const std::uint8_t colours[] = {0x05, 0x1C, 0x9E, 0x9A, 0x99, 0x9B, 0x81};
  if (line % 200 == 0) o.push_back(0x93);
  o.push_back(colours[rng() % 7]);
  int column = 0;
  while (column < 34) {
    if (rng() % 5 == 0) {
      o.push_back(0x12);
      for (int i = 0; i < 4; ++i, ++column) o.push_back(static_cast<std::uint8_t>(0xA0 + rng() % 32));
      o.push_back(0x92);
    } else {
      const std::string& w = words[rng() % 8];
      Append(o, w);
      column += static_cast<int>(w.size());
    }
  }
  o.push_back(0x0D);
}

inline ByteBuffer Ordinary(std::size_t bytes) {
  std::mt19937 rng(64);
  int line = 0;
  return Fill(bytes, [&](ByteBuffer& o) { OrdinaryLine(rng, ++line, o); });
}

// RETURNs, a full stop after every 65535: the model makes rows on demand,
// the full stop makes every row before it.
inline ByteBuffer Returns(std::size_t bytes) {
  return Fill(bytes, [](ByteBuffer& o) {
    o.insert(o.end(), 65535, 0x0D);
    o.push_back('.');
  });
}

// Ordinary-looking output that stresses the screen: INST and DEL runs,
// clears, character-set switches, colours, RETURN runs, cursor moves.
inline ByteBuffer Hostile(std::size_t bytes) {
  std::mt19937 rng(64);
  int line = 0;
  const std::uint8_t moves[] = {0x91, 0x11, 0x9D, 0x1D, 0x13};
  const std::uint8_t colours[] = {0x05, 0x1C, 0x9E, 0x9A, 0x99, 0x9B, 0x81};
  return Fill(bytes, [&](ByteBuffer& o) {
    const unsigned kind = rng() % 10;
    if (kind < 4) {
      OrdinaryLine(rng, ++line, o);
    } else if (kind == 4) {
      o.insert(o.end(), 1 + rng() % 399, 0x0D);
    } else if (kind == 5) {
      o.insert(o.end(), 1 + rng() % 119, rng() % 2 ? 0x94 : 0x14);
    } else if (kind == 6) {
      o.insert(o.end(), 1 + rng() % 3, 0x93);
    } else if (kind == 7) {
      for (unsigned i = 1 + rng() % 19; i > 0; --i) Append(o, "\x0e\x8e");
    } else if (kind == 8) {
      for (unsigned i = 1 + rng() % 59; i > 0; --i) o.push_back(moves[rng() % 5]);
    } else {
      for (unsigned i = 1 + rng() % 29; i > 0; --i) o.push_back(colours[rng() % 7]);
    }
  });
}

}  // namespace bench
