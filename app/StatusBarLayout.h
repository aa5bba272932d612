// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How the main window's five status fields share the bar's width: in one
// row when the message field keeps room for its messages beside the
// counts, otherwise in two or more rows, so that the counts always show
// whole. Widths in pixels, measured by the window in the bar's font.
#include <array>

namespace statusbar {

constexpr int kFieldCount = 5;

// The least width each field needs to show its longest text whole.
struct FieldNeeds {
  int message = 0;       // field 0 for the usual messages
  int shortMessage = 0;  // field 0 at the least (longer texts show in its tooltip)
  int traffic = 0;       // field 1, "Rx: | Tx:" with the largest counts
  int active = 0;        // field 2
  int buffer = 0;        // field 3
  int size = 0;          // field 4, columns and rows
};

struct FieldPlace {
  int row = 0;
  int x = 0;
  int width = 0;
};

struct Layout {
  int rows = 1;
  std::array<FieldPlace, kFieldCount> fields{};
};

// The fields in `width` pixels: the first of these arrangements in which
// every field gets its need, the last one when none fits:
//   [message traffic active buffer size]     (message with its full need)
//   [message traffic] [active buffer size]
//   [message] [traffic] [active buffer size]
//   one field per row.
// Width left over in a row goes to the message field when it is in the
// row, else in equal shares to the active and buffer fields (the size
// field takes it only when it is alone).
Layout LayOut(int width, const FieldNeeds& needs);

}  // namespace statusbar
