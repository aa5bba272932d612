// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/StatusBarLayout.h"

#include <algorithm>
#include <iterator>
#include <vector>

namespace statusbar {
namespace {

constexpr int kMessage = 0, kTraffic = 1, kActive = 2, kBuffer = 3, kSize = 4;
// Shares of a row's spare width. The message field, whose texts vary
// most, takes all of its row's; the counts share theirs.
constexpr int kWeights[kFieldCount] = {1, 1, 1, 1, 0};

using Rows = std::vector<std::vector<int>>;

struct Arrangement {
  Rows rows;
  bool fullMessage;  // the message field needs its full width here
};

const Arrangement kArrangements[] = {
    {{{kMessage, kTraffic, kActive, kBuffer, kSize}}, true},
    {{{kMessage, kTraffic}, {kActive, kBuffer, kSize}}, false},
    {{{kMessage}, {kTraffic}, {kActive, kBuffer, kSize}}, false},
    {{{kMessage}, {kTraffic}, {kActive}, {kBuffer}, {kSize}}, false},
};

std::array<int, kFieldCount> Needs(const FieldNeeds& needs, bool fullMessage) {
  return {fullMessage ? std::max(needs.message, needs.shortMessage) : needs.shortMessage, needs.traffic,
          needs.active, needs.buffer, needs.size};
}

bool Fits(int width, const Arrangement& arrangement, const std::array<int, kFieldCount>& need) {
  return std::all_of(arrangement.rows.begin(), arrangement.rows.end(), [&](const std::vector<int>& row) {
    int sum = 0;
    for (int field : row) sum += need[field];
    return sum <= width;
  });
}

Layout Place(int width, const Arrangement& arrangement, const std::array<int, kFieldCount>& need) {
  Layout layout;
  layout.rows = static_cast<int>(arrangement.rows.size());
  for (int r = 0; r < layout.rows; ++r) {
    const std::vector<int>& row = arrangement.rows[r];
    const bool withMessage = std::find(row.begin(), row.end(), kMessage) != row.end();
    const auto weight = [&](int field) { return withMessage ? (field == kMessage ? 1 : 0) : kWeights[field]; };
    int used = 0, weights = 0;
    for (int field : row) {
      used += need[field];
      weights += weight(field);
    }
    const int spare = std::max(width - used, 0);
    // The weighted fields share the spare width; rounding leftovers go to
    // the first of them, the lone size field takes it all.
    int given = 0;
    for (int field : row) {
      const int share = weights > 0 ? spare * weight(field) / weights : 0;
      layout.fields[field].width = need[field] + share;
      given += share;
    }
    const auto receiver = std::find_if(row.begin(), row.end(), [&](int f) { return weight(f) > 0; });
    layout.fields[receiver != row.end() ? *receiver : row.back()].width += spare - given;
    int x = 0;
    for (int field : row) {
      layout.fields[field].row = r;
      layout.fields[field].x = x;
      x += layout.fields[field].width;
    }
  }
  return layout;
}

}  // namespace

Layout LayOut(int width, const FieldNeeds& needs) {
  for (const Arrangement& arrangement : kArrangements) {
    const std::array<int, kFieldCount> need = Needs(needs, arrangement.fullMessage);
    if (Fits(width, arrangement, need)) return Place(width, arrangement, need);
  }
  const Arrangement& last = kArrangements[std::size(kArrangements) - 1];
  return Place(width, last, Needs(needs, last.fullMessage));
}

}  // namespace statusbar
