// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The screens of the built-in demo board "Harbour Light", each a complete
// PETSCII stream for a 40 x 25 screen.
#include "settings/ByteBuffer.h"

struct DemoPages {
  ByteBuffer title;  // picture and welcome, upper case and graphics
  ByteBuffer menu;
  ByteBuffer colourChart;
  ByteBuffer graphics;  // every graphics character, plain and reversed
  ByteBuffer caseText;  // mixed-case text in the lower-case set
  ByteBuffer echo;      // the heading of echo mode
  ByteBuffer goodbye;
};

// Builds every page; throws std::logic_error when one does not fit the screen.
DemoPages BuildDemoPages();
