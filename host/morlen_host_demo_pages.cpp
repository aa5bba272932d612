// SPDX-License-Identifier: GPL-3.0-or-later
#include "host/morlen_host_demo_pages.h"

#include <cstdio>
#include <string>

#include "terminal/Palette.h"
#include "terminal/PetsciiCodes.h"
#include "host/morlen_host_drawing.h"

namespace {
using C = C64Colour;

constexpr int kBarRow = 0;
constexpr int kPromptRow = 23;
constexpr const char* kBoardName = "HARBOUR LIGHT BBS";

namespace glyph {
constexpr std::uint8_t kSpace = 0x20;
constexpr std::uint8_t kLowerHalf = 0xA2;
constexpr std::uint8_t kLowerQuarter = 0xAF;
constexpr std::uint8_t kLowerThreeEighths = 0xB9;
constexpr std::uint8_t kUpperLeftTriangle = 0xA9;   // reversed: lower right
constexpr std::uint8_t kUpperRightTriangle = 0x7F;  // reversed: lower left
constexpr std::uint8_t kHorizontal = 0x60;
constexpr std::uint8_t kVertical = 0x7D;
constexpr std::uint8_t kShade = 0xA6;
constexpr std::uint8_t kQuadrantLowerRight = 0xAC;
constexpr std::uint8_t kQuadrantLowerLeft = 0xBB;
constexpr std::uint8_t kQuadrantUpperRight = 0xBC;
constexpr std::uint8_t kQuadrantUpperLeft = 0xBE;
constexpr std::uint8_t kLeftArrow = 0x5F;
constexpr std::uint8_t kArcDownRight = 0x75;
constexpr std::uint8_t kArcDownLeft = 0x69;
constexpr std::uint8_t kArcUpRight = 0x6A;
constexpr std::uint8_t kArcUpLeft = 0x6B;
constexpr std::uint8_t kHeart = 0x73;
constexpr std::uint8_t kSpade = 0x61;
constexpr std::uint8_t kClub = 0x78;
constexpr std::uint8_t kDiamond = 0x7A;
constexpr std::uint8_t kBall = 0x71;
constexpr std::uint8_t kRing = 0x77;
// Bars growing from the left by eighths: the left blocks, then the right
// blocks reversed.
constexpr std::uint8_t kGrowingBar[] = {0xA5, 0xB4, 0xB5, 0xA1, 0xB6, 0xAA, 0xA7, 0x20};
constexpr int kFirstReversedStep = 4;
// The four rows of sixteen graphics characters, by first code.
constexpr std::uint8_t kGraphicsRows[] = {0xA0, 0xB0, 0x60, 0x70};
constexpr int kGraphicsPerRow = 16;
}  // namespace glyph

// Text pages start in this column, leaving a margin.
constexpr int kTextColumn = 1;

void Prompt(PetsciiWriter& w, const char* text) { w.MoveTo(kPromptRow, 0).Colour(C::Yellow).Centred(text); }

// The title is drawn in layers, the way a sysop's editor would save it:
// the harbour, the words, the sky over it, and the heading last.
ByteBuffer Title() {
  constexpr int kPictureTop = 3;
  constexpr int kWelcomeRow = 17;
  constexpr int kSubtitleRow = kBarRow + 1;
  PetsciiWriter w;
  w.Clear().UpperCase();
  // A lighthouse on its rock at night, a boat out on the water.
  DrawPicture(w, kPictureTop,
              {
                  "         /\\                        qOOp",
                  " -- -- --LL-- -- -- -- --          kOOl",
                  "        ====",
                  "         RR",
                  "         WW                  |A",
                  "         RR                  |FA",
                  "         WW                  |FFA",
                  "        bRRd                 |FFFA",
                  "      bBBBBBBd             hBBBBBBj",
                  "~n~bBBBBBBBBBBd~n~v~n~n~v~n~n~v~n~n~v~n~",
                  "SSSBBBBBBBBBBBBBSSSScSSSSSSSSSSSSSSSSSSS",
                  "SSSSSSSSSSSSSSSSScSSSScSSSSSSSScSSSSSSSS",
                  "SSSScSSSSSSSSSSSSSScSSSSSSSSSSSSSSSScSSS",
              },
              {
                  {'q', glyph::kQuadrantLowerRight, C::White, false},
                  {'p', glyph::kQuadrantLowerLeft, C::White, false},
                  {'O', glyph::kSpace, C::White, true},
                  {'k', glyph::kQuadrantUpperRight, C::White, false},
                  {'l', glyph::kQuadrantUpperLeft, C::White, false},
                  {'/', glyph::kUpperLeftTriangle, C::Red, true},
                  {'\\', glyph::kUpperRightTriangle, C::Red, true},
                  {'L', glyph::kSpace, C::Yellow, true},
                  {'-', glyph::kHorizontal, C::Yellow, false},
                  {'=', glyph::kLowerHalf, C::LightGrey, true},
                  {'R', glyph::kSpace, C::Red, true},
                  {'W', glyph::kSpace, C::White, true},
                  {'b', glyph::kUpperLeftTriangle, C::Brown, true},
                  {'d', glyph::kUpperRightTriangle, C::Brown, true},
                  {'B', glyph::kSpace, C::Brown, true},
                  {'h', glyph::kUpperRightTriangle, C::Brown, false},
                  {'j', glyph::kUpperLeftTriangle, C::Brown, false},
                  {'|', glyph::kVertical, C::LightGrey, false},
                  {'A', glyph::kUpperRightTriangle, C::White, true},
                  {'F', glyph::kSpace, C::White, true},
                  {'~', glyph::kLowerHalf, C::Blue, false},
                  {'n', glyph::kLowerThreeEighths, C::Blue, false},
                  {'v', glyph::kLowerQuarter, C::Blue, false},
                  {'S', glyph::kSpace, C::Blue, true},
                  {'c', glyph::kSpace, C::LightBlue, true},
              });
  w.MoveTo(kWelcomeRow, 0).Colour(C::White).Centred("WELCOME ASHORE, TRAVELLER!");
  w.Colour(C::LightGrey);
  DrawLines(w, kWelcomeRow + 2, kTextColumn + 1,
            {"THIS BOARD RUNS ON YOUR OWN MACHINE:", "NO MODEM, NO NETWORK, NO PHONE BILL."});
  Prompt(w, "PRESS ANY KEY FOR THE MENU");
  const int promptEnd = w.Column();
  DrawPicture(w, kPictureTop,
              {
                  "  *                 .         *",
                  "                              .",
                  "                      *              .",
                  "   .             .",
                  "                         *",
                  "  *                 .                 *",
                  "               .",
                  "                          .",
              },
              {
                  {'.', '.', C::MidGrey, false},
                  {'*', '*', C::White, false},
              });
  DrawBar(w, kBarRow, kBoardName, C::LightBlue);
  w.MoveTo(kSubtitleRow, 0).Colour(C::Cyan).Centred("A MORLEN DEMO HOST ON 127.0.0.1");
  // The cursor waits behind the prompt.
  w.MoveTo(kPromptRow, promptEnd);
  return w.Bytes();
}

ByteBuffer Menu() {
  PetsciiWriter w;
  w.Clear().LowerCase();
  DrawBar(w, kBarRow, "Harbour Light - Main Menu", C::LightBlue);
  constexpr int kFrameTop = 3;
  constexpr int kFrameLeft = 4;
  constexpr int kFrameBottom = 15;
  constexpr int kFrameRight = 35;
  DrawFrame(w, kFrameTop, kFrameLeft, kFrameBottom, kFrameRight, C::Blue);
  struct Item {
    const char* key;
    const char* text;
  };
  constexpr Item kItems[] = {
      {"1", "The sixteen colours"}, {"2", "Graphics gallery"}, {"3", "Upper and lower case"},
      {"E", "Echo what you type"},  {"Q", "Say goodbye"},
  };
  constexpr int kFirstItemRow = kFrameTop + 2;
  constexpr int kItemSpacing = 2;
  constexpr int kItemColumn = kFrameLeft + 3;
  constexpr int kHintRow = kFrameBottom + 3;
  constexpr int kChoiceColumn = 2;
  int row = kFirstItemRow;
  for (const Item& item : kItems) {
    w.MoveTo(row, kItemColumn).Colour(C::Yellow).Reverse(true).Text(" ").Text(item.key).Text(" ");
    w.Reverse(false).Colour(C::White).Text("  ").Text(item.text);
    row += kItemSpacing;
  }
  w.MoveTo(kHintRow, 0).Colour(C::LightGrey).Centred("One key is enough - no RETURN needed.");
  w.MoveTo(kPromptRow, kChoiceColumn).Colour(C::LightGreen).Text("Your choice? ");
  return w.Bytes();
}

std::string ColourRowText(int index) {
  // The C64 keys for the colours: CTRL with 1-8, then the Commodore key with 1-8.
  constexpr int kKeysPerModifier = 8;
  const char* modifier = index < kKeysPerModifier ? "CTRL" : "C=";
  char text[PetsciiWriter::kColumns + 1];
  std::snprintf(text, sizeof text, "%2d  $%02X  %-4s %d  %s", index, ColourCodeOfIndex(index), modifier,
                index % kKeysPerModifier + 1, ColourName(index));
  return text;
}

ByteBuffer ColourChart() {
  PetsciiWriter w;
  w.Clear().LowerCase();
  DrawBar(w, kBarRow, "The sixteen colours", C::LightBlue);
  constexpr int kFirstRow = 2;
  constexpr int kSwatchColumn = 2;
  constexpr const char* kSwatch = "      ";
  for (int i = 0; i < kColourCount; ++i) {
    const C colour = static_cast<C>(i);
    w.MoveTo(kFirstRow + i, kSwatchColumn).Colour(C::MidGrey).Text("[");
    w.Colour(colour).Reverse(true).Text(kSwatch).Reverse(false);
    w.Colour(C::MidGrey).Text("] ").Colour(C::LightGrey).Text(ColourRowText(i));
  }
  // Two rainbows: full blocks left to right, half blocks right to left.
  constexpr int kRainbowRow = 19;
  constexpr int kRainbowColumn = 4;
  constexpr int kBlockWidth = 2;
  w.MoveTo(kRainbowRow, kRainbowColumn).Reverse(true);
  for (int i = 0; i < kColourCount; ++i) w.Colour(static_cast<C>(i)).Glyph(glyph::kSpace, kBlockWidth);
  w.Reverse(false).MoveTo(kRainbowRow + 1, kRainbowColumn);
  for (int i = kColourCount - 1; i >= 0; --i)
    w.Colour(static_cast<C>(i)).Glyph(glyph::kLowerHalf, kBlockWidth);
  Prompt(w, "Press any key for the menu");
  return w.Bytes();
}

ByteBuffer Graphics() {
  PetsciiWriter w;
  w.Clear().UpperCase();
  DrawBar(w, kBarRow, "GRAPHICS GALLERY", C::LightBlue);
  constexpr int kFirstRow = 2;
  constexpr int kRowsPerGroup = 3;
  int row = kFirstRow;
  for (std::uint8_t first : glyph::kGraphicsRows) {
    char label[sizeof "$XX "];
    std::snprintf(label, sizeof label, "$%02X ", first);
    for (bool reverse : {false, true}) {
      w.MoveTo(reverse ? row + 1 : row, kTextColumn).Colour(C::LightBlue).Text(reverse ? "REV " : label);
      w.Colour(reverse ? C::LightGreen : C::White);
      for (int k = 0; k < glyph::kGraphicsPerRow; ++k) {
        // Reverse only the character: a reversed gap would join the cells into one bar.
        if (reverse) w.Reverse(true);
        w.Glyph(static_cast<std::uint8_t>(first + k));
        if (reverse) w.Reverse(false);
        w.Text(" ");
      }
    }
    row += kRowsPerGroup;
  }
  // A framed strip of what the characters are good for.
  constexpr int kFrameTop = 14;
  constexpr int kFrameLeft = 1;
  constexpr int kFrameBottom = 21;
  constexpr int kFrameRight = 38;
  constexpr int kInside = kFrameLeft + 2;
  constexpr int kShadeWidth = 8;
  DrawFrame(w, kFrameTop, kFrameLeft, kFrameBottom, kFrameRight, C::Green);
  w.MoveTo(kFrameTop + 1, kInside).Colour(C::Red).Glyph(glyph::kHeart);
  w.Text(" ").Colour(C::White).Glyph(glyph::kSpade);
  w.Text(" ").Colour(C::Green).Glyph(glyph::kClub).Text(" ").Colour(C::Orange).Glyph(glyph::kDiamond);
  w.Text("   ").Colour(C::Yellow).Glyph(glyph::kBall).Text(" ").Glyph(glyph::kRing);
  w.Text("   ").Colour(C::Purple).Glyph(glyph::kShade, kShadeWidth);
  w.MoveTo(kFrameTop + 3, kInside).Colour(C::Cyan);
  for (int i = 0; i < static_cast<int>(sizeof glyph::kGrowingBar); ++i) {
    if (i == glyph::kFirstReversedStep) w.Reverse(true);
    w.Glyph(glyph::kGrowingBar[i]);
  }
  w.Reverse(false);
  // A swell across the strip from quarter circles.
  constexpr int kWaveTop = kFrameTop + 4;
  DrawPicture(w, kWaveTop, {"    (--)    (--)    (--)    (--)", "   -/  L----/  L----/  L----/  L---"},
              {
                  {'(', glyph::kArcDownRight, C::LightBlue, false},
                  {')', glyph::kArcDownLeft, C::LightBlue, false},
                  {'/', glyph::kArcUpLeft, C::LightBlue, false},
                  {'L', glyph::kArcUpRight, C::LightBlue, false},
                  {'-', glyph::kHorizontal, C::LightBlue, false},
              });
  Prompt(w, "PRESS ANY KEY FOR THE MENU");
  return w.Bytes();
}

ByteBuffer CaseText() {
  PetsciiWriter w;
  w.Clear().LowerCase();
  DrawBar(w, kBarRow, "Upper and lower case", C::LightBlue);
  w.Colour(C::White);
  constexpr int kTextRow = 2;
  constexpr int kAlphabetRow = 13;
  constexpr int kHintRow = 18;
  DrawLines(w, kTextRow, kTextColumn,
            {
                "The C64 has two character sets. This",
                "page is written in the lower-case one,",
                "so text reads the way a letter would:",
                "",
                "  Dear Sysop, the coffee is on me.",
                "",
                "In the other set the same bytes show",
                "capitals only, and every letter typed",
                "with SHIFT becomes a graphics sign.",
            });
  w.Colour(C::Yellow);
  DrawLines(w, kAlphabetRow, kTextColumn,
            {"abcdefghijklmnopqrstuvwxyz", "ABCDEFGHIJKLMNOPQRSTUVWXYZ", "0123456789 @[]+-*/=<>?!"});
  w.Colour(C::LightGrey);
  DrawLines(w, kHintRow, kTextColumn,
            {"Press C to switch sets and watch the", "rows above change; any other key for", "the menu."});
  return w.Bytes();
}

ByteBuffer Echo() {
  PetsciiWriter w;
  w.Clear().LowerCase();
  DrawBar(w, kBarRow, "Echo mode", C::LightBlue);
  constexpr int kTextRow = 2;
  constexpr int kEchoRow = 6;
  w.Colour(C::LightGrey);
  DrawLines(w, kTextRow, kTextColumn,
            {"Everything you type comes back as it", "is, colours and cursor keys included."});
  w.MoveTo(kTextRow + 2, kTextColumn).Text("Press ").Colour(C::Yellow).Glyph(glyph::kLeftArrow);
  w.Colour(C::LightGrey).Text(" to return to the menu.");
  w.MoveTo(kEchoRow, 0).Colour(C::LightGreen);
  return w.Bytes();
}

ByteBuffer Goodbye() {
  PetsciiWriter w;
  w.Clear().UpperCase();
  DrawBar(w, kBarRow, "FAIR WINDS!", C::LightBlue);
  constexpr int kTextRow = 3;
  constexpr C kHeartColours[] = {C::Red, C::Yellow, C::Green, C::LightBlue, C::Purple};
  constexpr int kHearts = sizeof kHeartColours / sizeof kHeartColours[0];
  w.MoveTo(kTextRow, 0).Colour(C::White).Centred("THE HARBOUR LIGHT IS SIGNING OFF.");
  w.MoveTo(kTextRow + 2, 0).Colour(C::LightGrey).Centred("THANKS FOR CALLING - COME BACK SOON.");
  w.MoveTo(kTextRow + 4, (PetsciiWriter::kColumns - kHearts) / 2);
  for (C colour : kHeartColours) w.Colour(colour).Glyph(glyph::kHeart);
  w.MoveTo(kTextRow + 6, 0).Colour(C::LightGreen);
  return w.Bytes();
}
}  // namespace

DemoPages BuildDemoPages() {
  return DemoPages{Title(), Menu(), ColourChart(), Graphics(), CaseText(), Echo(), Goodbye()};
}
