// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Encodes an RGB pixel buffer as a PNG file (8-bit RGB, no interlace).
#include <string>

#include "settings/ByteBuffer.h"
#include "terminal/ScreenCompositor.h"

ByteBuffer EncodePng(const PixelBuffer& pixels);
// Writes the PNG to `path`; false when the file cannot be written.
bool WritePng(const PixelBuffer& pixels, const std::string& path);
