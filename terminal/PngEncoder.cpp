// SPDX-License-Identifier: GPL-3.0-or-later
#include "terminal/PngEncoder.h"

#include <zlib.h>

#include <cstdio>
#include <memory>

namespace {
constexpr std::uint8_t kSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr std::uint8_t kBitDepth = 8;
constexpr std::uint8_t kColourTypeRgb = 2;
constexpr std::uint8_t kFilterNone = 0;

void PutBigEndian(ByteBuffer& out, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(value >> shift));
}

void PutChunk(ByteBuffer& out, const char type[4], const ByteBuffer& data) {
  PutBigEndian(out, static_cast<std::uint32_t>(data.size()));
  const std::size_t typeAt = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), data.begin(), data.end());
  const uLong crc = crc32(0L, &out[typeAt], static_cast<uInt>(out.size() - typeAt));
  PutBigEndian(out, static_cast<std::uint32_t>(crc));
}
}  // namespace

ByteBuffer EncodePng(const PixelBuffer& pixels) {
  ByteBuffer out(std::begin(kSignature), std::end(kSignature));
  ByteBuffer header;
  PutBigEndian(header, static_cast<std::uint32_t>(pixels.width));
  PutBigEndian(header, static_cast<std::uint32_t>(pixels.height));
  header.insert(header.end(), {kBitDepth, kColourTypeRgb, 0, 0, 0});
  PutChunk(out, "IHDR", header);

  const std::size_t stride = std::size_t(pixels.width) * 3;
  ByteBuffer raw;
  raw.reserve((stride + 1) * pixels.height);
  for (int y = 0; y < pixels.height; ++y) {
    raw.push_back(kFilterNone);
    const std::uint8_t* line = pixels.rgb.data() + y * stride;
    raw.insert(raw.end(), line, line + stride);
  }
  uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
  ByteBuffer packed(packedSize);
  if (compress2(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()), Z_BEST_SPEED) != Z_OK)
    return {};
  packed.resize(packedSize);
  PutChunk(out, "IDAT", packed);
  PutChunk(out, "IEND", {});
  return out;
}

bool WritePng(const PixelBuffer& pixels, const std::string& path) {
  const ByteBuffer png = EncodePng(pixels);
  if (png.empty()) return false;
  std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "wb"), &std::fclose);
  if (!file) return false;
  return std::fwrite(png.data(), 1, png.size(), file.get()) == png.size() && std::fflush(file.get()) == 0;
}
