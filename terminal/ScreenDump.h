// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A plain-text picture of a screen model, one line per row, for people who
// look inside SEQ files and for golden tests:
//   rows R top T cursor ROW COL [background B]
//   INDEX S|- CODE:COLOUR ...
#include <string>

#include "terminal/PetsciiScreen.h"

std::string DumpScreenHeader(const PetsciiScreen& screen);
std::string DumpScreenRow(const PetsciiScreen& screen, std::uint64_t row);
std::string DumpScreen(const PetsciiScreen& screen, bool summaryOnly = false);
