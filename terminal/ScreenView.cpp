// SPDX-License-Identifier: GPL-3.0-or-later
#include "terminal/ScreenView.h"

#include <algorithm>

std::uint64_t ScrollRows(const PetsciiScreen& screen) {
  return std::max({screen.RowCount(), screen.CursorRow() + 1, screen.Top() + PetsciiScreen::kRows});
}

std::uint64_t CurrentScreenViewStart(const PetsciiScreen& screen, std::uint64_t visibleRows) {
  const std::uint64_t screenEnd = screen.Top() + PetsciiScreen::kRows;
  if (visibleRows >= PetsciiScreen::kRows) return screenEnd > visibleRows ? screenEnd - visibleRows : 0;
  const std::uint64_t cursorEnd = screen.CursorRow() + 1;
  return std::max(screen.Top(), cursorEnd > visibleRows ? cursorEnd - visibleRows : 0);
}
