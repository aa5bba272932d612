// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The file header of a Ymodem batch, block 0: the file's name, a NUL, its
// size in decimal (more fields may follow after a blank: when it was last
// changed and its mode, both in octal), NULs to the end.
// A block 0 with an empty name ends the batch.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "settings/ByteBuffer.h"

namespace ymodem {

struct FileHeader {
  std::string name;  // as sent; empty: the batch is over
  // The size when the header gives a decimal one (a field too large for
  // the type reads as the largest size).
  std::optional<std::uint64_t> size;
};

FileHeader parseHeader(const std::uint8_t* data, std::size_t size);
// Block 0's data for a file: 128 bytes, or 1024 when the name needs them.
// `modified` in seconds since 1970 (0: unknown); the mode is that of a
// plain file, which the receiver's umask trims as it does for its own.
ByteBuffer headerData(const std::string& name, std::uint64_t size, std::int64_t modified);

}  // namespace ymodem
