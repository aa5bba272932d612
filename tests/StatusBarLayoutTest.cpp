// SPDX-License-Identifier: GPL-3.0-or-later
// The status fields at the widths of the window's scales (the canvas plus
// its scroll bar) and narrower: the counts always get their whole width,
// the fields of a row fill it without overlap, the message field takes
// what is spare and stays in one row with the counts only while it keeps
// room for its usual messages.
#include "app/StatusBarLayout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using statusbar::FieldNeeds;
using statusbar::Layout;

// As measured in the bar's font on a plain desktop, and half as large again.
constexpr FieldNeeds kMeasured{276, 95, 227, 135, 133, 50};
constexpr FieldNeeds kLargeFont{414, 143, 341, 203, 200, 75};
constexpr int kScrollBar = 15;

int WindowWidth(int scale) { return 320 * scale + kScrollBar; }

// Every field gets its need; the fields of each row follow one another
// from the left edge and fill the width.
void ExpectSound(const Layout& layout, int width, const FieldNeeds& needs, const std::string& name) {
  const int need[] = {layout.rows == 1 ? needs.message : needs.shortMessage, needs.traffic, needs.active,
                      needs.buffer, needs.size};
  std::vector<int> rowEnd(layout.rows, 0);
  for (int f = 0; f < statusbar::kFieldCount; ++f) {
    const auto& place = layout.fields[f];
    ASSERT_LT(place.row, layout.rows) << name;
    EXPECT_GE(place.width, need[f]) << name << " field " << f;
    EXPECT_EQ(place.x, rowEnd[place.row]) << name << " field " << f;
    rowEnd[place.row] = place.x + place.width;
  }
  for (int end : rowEnd) EXPECT_EQ(end, std::max(width, end)) << name;
}

TEST(StatusBarLayout, CountsShowWholeAtEveryScale) {
  struct Case {
    const char* name;
    int width;
    FieldNeeds needs;
    int rows;
  };
  const Case cases[] = {
      {"scale 1", WindowWidth(1), kMeasured, 2},  {"scale 2", WindowWidth(2), kMeasured, 2},
      {"scale 3", WindowWidth(3), kMeasured, 1},  {"scale 5", WindowWidth(5), kMeasured, 1},
      {"scale 8", WindowWidth(8), kMeasured, 1},  {"narrow", 300, kMeasured, 5},
      {"large font, scale 1", WindowWidth(1), kLargeFont, 5},
      {"large font, scale 2", WindowWidth(2), kLargeFont, 2},
      {"large font, scale 3", WindowWidth(3), kLargeFont, 2},
      {"large font, scale 5", WindowWidth(5), kLargeFont, 1},
      {"just one row", 276 + 227 + 135 + 133 + 50, kMeasured, 1},
      {"a pixel short of one row", 276 + 227 + 135 + 133 + 50 - 1, kMeasured, 2},
  };
  for (const Case& c : cases) {
    const Layout layout = statusbar::LayOut(c.width, c.needs);
    EXPECT_EQ(layout.rows, c.rows) << c.name;
    ExpectSound(layout, c.width, c.needs, c.name);
  }
  // Spare width goes to the message field in its row, to the counts in theirs.
  const Layout wide = statusbar::LayOut(WindowWidth(3), kMeasured);
  EXPECT_EQ(wide.fields[0].width, WindowWidth(3) - 227 - 135 - 133 - 50);
  const Layout two = statusbar::LayOut(WindowWidth(2), kMeasured);
  EXPECT_EQ(two.fields[0].width, WindowWidth(2) - 227);
  EXPECT_EQ(two.fields[1].width, 227);
  EXPECT_EQ(two.fields[4].width, 50);
  EXPECT_LE(std::abs(two.fields[2].width - 135 - (two.fields[3].width - 133)), 1);
}

}  // namespace
