// SPDX-License-Identifier: GPL-3.0-or-later
// The PETSCII interpreter on any byte stream, in either mode: fed whole, byte
// by byte and in random batches, it must build the same model each time,
// and every model must keep the screen's invariants. Now and then a new
// connection starts a fresh screen part way through the stream.
//
// Input: an options byte (bit 0: fixed screen, bit 1: start in the
// upper-case set, bit 2: a fresh screen part way, bits 4-7: the initial
// colour), a byte seeding the batch sizes and the fresh screen's place
// (its high four bits: the initial background), then the stream.
#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "FuzzCheck.h"
#include "ScreenSnapshot.h"
#include "terminal/PetsciiCodes.h"
#include "terminal/PetsciiTerminal.h"

namespace {

constexpr std::size_t kHeader = 2;
constexpr std::uint8_t kFixedBit = 0x01;
constexpr std::uint8_t kUpperSetBit = 0x02;
constexpr std::uint8_t kFreshScreenBit = 0x04;
constexpr int kColourShift = 4;

struct Options {
  bool fixed;
  int lowerCase;
  std::uint8_t colour;
  std::uint8_t background;
  // Where a new connection starts its screen (past the end: nowhere), and in which colours.
  std::size_t freshAt;
  std::uint8_t freshColour, freshBackground;
};

void Start(PetsciiTerminal& terminal, const Options& o) {
  terminal.Reset(o.colour, o.fixed, o.background);
  terminal.SetStartCharset(o.lowerCase);
}

void StartAfreshAt(PetsciiTerminal& terminal, const Options& o, std::size_t at) {
  if (at == o.freshAt) terminal.StartAfresh(o.freshColour, o.freshBackground);
}

void CheckInvariants(const PetsciiTerminal& terminal, const Options& o) {
  FUZZ_CHECK(terminal.Processed() == terminal.Bytes().size(), "every byte interpreted");
  const PetsciiScreen& screen = terminal.Screen();
  FUZZ_CHECK(screen.Top() <= screen.CursorRow() && screen.CursorRow() - screen.Top() < PetsciiScreen::kRows,
             "cursor on the screen's rows");
  FUZZ_CHECK(screen.CursorColumn() < PetsciiScreen::kColumns, "cursor within the columns");
  FUZZ_CHECK(screen.Colour() < 16, "current colour is a colour index");
  FUZZ_CHECK(screen.Background() < 16, "background is a colour index");
  FUZZ_CHECK(screen.Reverse() == 0 || screen.Reverse() == 1, "reverse is a flag");
  FUZZ_CHECK(screen.LowerCase() == 0 || screen.LowerCase() == 1, "character set is a flag");
  FUZZ_CHECK(screen.RowCount() <= PetsciiScreen::kMaxKeptRows, "rows within the ceiling");
  if (o.fixed) FUZZ_CHECK(screen.RowCount() <= PetsciiScreen::kRows, "a fixed screen keeps 25 rows");
  FUZZ_CHECK(screen.RowCount() <= screen.Top() + PetsciiScreen::kRows, "no row below the screen");
  const ScreenRows lines = screen.Lines();
  for (std::uint64_t r = 0; r < lines.size(); ++r) {
    const ScreenLine line = lines[r];
    if (line.continued) {
      FUZZ_CHECK(r != screen.Top(), "the screen starts with a logical line");
      FUZZ_CHECK(!line.separator && (r == 0 || (!lines[r - 1].continued && !lines[r - 1].separator)),
                 "a logical line is one text row or two");
    }
    FUZZ_CHECK(line.cells.size() <= PetsciiScreen::kMaxRowCells, "row within its cell bound");
    for (const ScreenCell& cell : line.cells) {
      if (cell.code == 0) {
        FUZZ_CHECK(cell.colour == 0, "blank cells have colour 0");
        continue;
      }
      FUZZ_CHECK((cell.code & 0xFC00) == 0xE000, "written cells hold glyph codes");
      FUZZ_CHECK(IsPrintable(static_cast<std::uint8_t>(cell.code & 0xFF)), "only printable bytes are drawn");
      FUZZ_CHECK(cell.colour < 16, "cell colour is a colour index");
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < kHeader) return 0;
  const std::uint8_t* stream = data + kHeader;
  const std::size_t length = size - kHeader;
  SplitMix random(data[1] * 0x100000001ull + size);
  const bool fresh = (data[0] & kFreshScreenBit) != 0;
  const Options options{(data[0] & kFixedBit) != 0,
                        (data[0] & kUpperSetBit) ? 0 : 1,
                        static_cast<std::uint8_t>(data[0] >> kColourShift),
                        static_cast<std::uint8_t>(data[1] >> kColourShift),
                        fresh ? static_cast<std::size_t>(random.next() % (length + 1)) : length + 1,
                        static_cast<std::uint8_t>(random.next()),
                        static_cast<std::uint8_t>(random.next())};
  const std::size_t largestBatch = 1 + data[1] % 97;

  // Whole: one batch, as a loaded file or a replay at its end; or the
  // bytes up to the fresh screen, then the rest.
  PetsciiTerminal whole;
  Start(whole, options);
  if (!fresh) {
    whole.LoadBytes(ByteBuffer(stream, stream + length));
    Start(whole, options);
  } else {
    for (std::size_t i = 0; i < length; ++i) {
      StartAfreshAt(whole, options, i);
      whole.AppendByte(stream[i]);
    }
    StartAfreshAt(whole, options, length);
  }
  whole.ProcessPending();
  CheckInvariants(whole, options);
  const ScreenSnapshot expected(whole);

  // Byte by byte, and in batches, as a connection delivers it.
  PetsciiTerminal single, batched;
  Start(single, options);
  Start(batched, options);
  for (std::size_t i = 0; i < length; ++i) {
    StartAfreshAt(single, options, i);
    single.AppendByte(stream[i]);
    single.ProcessPending();
    if (options.fixed)
      FUZZ_CHECK(single.Screen().RowCount() <= PetsciiScreen::kRows, "a fixed screen keeps 25 rows");
  }
  StartAfreshAt(single, options, length);
  for (std::size_t i = 0; i < length;) {
    StartAfreshAt(batched, options, i);
    std::size_t batch = std::min(random.upTo(largestBatch), length - i);
    if (i < options.freshAt && options.freshAt < i + batch) batch = options.freshAt - i;
    for (std::size_t k = 0; k < batch; ++k) batched.AppendByte(stream[i + k]);
    batched.ProcessPending();
    i += batch;
  }
  StartAfreshAt(batched, options, length);
  batched.ProcessPending();
  single.ProcessPending();
  CheckInvariants(single, options);
  CheckInvariants(batched, options);
  FUZZ_CHECK(ScreenSnapshot(single) == expected, "byte by byte gives the model of the whole stream");
  FUZZ_CHECK(ScreenSnapshot(batched) == expected, "batches give the model of the whole stream");

  // The keyboard's toggle, twice, gives back the screen as it was.
  whole.ToggleCharset();
  CheckInvariants(whole, options);
  whole.ToggleCharset();
  FUZZ_CHECK(ScreenSnapshot(whole) == expected, "toggling the set twice changes nothing");
  return 0;
}
