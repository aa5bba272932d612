// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Keeping a file that the program is about to replace without having read
// it fully: a copy beside it, under a name that never overwrites an earlier
// copy, so that whatever the program could not make out stays with the
// user.
#include <ctime>
#include <optional>
#include <string>

#include "settings/ByteBuffer.h"

// The copy's name: <path>.unreadable-YYYYMMDD-HHMMSS in local time, and
// for the second and later tries at the same moment -2, -3, ... after it.
std::string unreadableCopyName(const std::string& path, std::time_t when, int attempt);

// Writes `bytes` (the file as read) under the first free copy name, synced
// to disk. When the file could not be read at all, gives it the copy name
// as a second name (a hard link) instead, so its content survives the
// replacement all the same. Never overwrites an existing file. Returns the
// copy's path, or the empty text when no copy could be made.
std::string keepUnreadableCopy(const std::string& path, const std::optional<ByteBuffer>& bytes,
                               std::time_t when);
