// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where a view of a screen model stands: how far it can scroll, and where
// it shows the current screen.
#include <cstdint>

#include "terminal/PetsciiScreen.h"

// The rows a view can scroll over: every row, the cursor's, and the whole
// current screen, which may lie below the last row written (a short
// screen after a clear).
std::uint64_t ScrollRows(const PetsciiScreen& screen);

// The first row in view that shows the current screen in `visibleRows`
// rows: its top row at the top of a view of 25 rows; in a taller view its
// last row at the bottom, with scrollback above; in a shorter one as much
// of it from the top as keeps the cursor in view.
std::uint64_t CurrentScreenViewStart(const PetsciiScreen& screen, std::uint64_t visibleRows);
