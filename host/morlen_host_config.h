// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A terminal configuration that knows this host, so that the terminal can
// be tried against it without typing an address: the program's own file
// format and path rule, with one address-book entry.
#include <cstdint>
#include <string>

#include "settings/ByteBuffer.h"

// Writes the configuration file the terminal reads when XDG_CONFIG_HOME is
// directory. The entry shows screenshot (a PETSCII screen) as its picture
// and has the Telnet option when the host speaks telnet.
// False with the reason in error when the file cannot be written.
bool WriteHostConfiguration(const std::string& directory, std::uint16_t port, bool telnet,
                            const ByteBuffer& screenshot, std::string& error);
