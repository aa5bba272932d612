// The PETSCII interpreter on any byte stream, in either mode: fed whole, byte
// by byte and in random batches, it must build the same model each time,
// and every model must keep the screen's invariants.
//
// Input: an options byte (bit 0: fixed screen, bit 1: start in the
// upper-case set, bits 4-7: the initial colour), a byte seeding the batch
// sizes, then the stream.
#include <cstddef>
#include <cstdint>

#include "FuzzCheck.h"
#include "ScreenSnapshot.h"
#include "terminal/PetsciiCodes.h"
#include "terminal/PetsciiScreen.h"

namespace {

constexpr std::size_t kHeader = 2;
constexpr std::uint8_t kFixedBit = 0x01;
constexpr std::uint8_t kUpperSetBit = 0x02;
constexpr int kColourShift = 4;

struct Options {
  bool fixed;
  int lowerCase;
  std::uint8_t colour;
};

void Start(PetsciiScreen& screen, const Options& o) {
  screen.Reset(o.colour, o.fixed);
  screen.SetStartCharset(o.lowerCase);
}

void CheckInvariants(const PetsciiScreen& screen, const Options& o) {
  FUZZ_CHECK(screen.Processed() == screen.Bytes().size(), "every byte interpreted");
  FUZZ_CHECK(screen.Top() <= screen.CursorRow() && screen.CursorRow() - screen.Top() < PetsciiScreen::kRows,
             "cursor on the screen's rows");
  FUZZ_CHECK(screen.CursorColumn() < PetsciiScreen::kColumns, "cursor within the columns");
  FUZZ_CHECK(screen.Colour() < 16, "current colour is a colour index");
  FUZZ_CHECK(screen.Reverse() == 0 || screen.Reverse() == 1, "reverse is a flag");
  FUZZ_CHECK(screen.LowerCase() == 0 || screen.LowerCase() == 1, "character set is a flag");
  FUZZ_CHECK(screen.RowCount() <= PetsciiScreen::kMaxKeptRows, "rows within the ceiling");
  if (o.fixed) FUZZ_CHECK(screen.RowCount() <= PetsciiScreen::kRows, "a fixed screen keeps 25 rows");
  const ScreenRows lines = screen.Lines();
  for (std::uint64_t r = 0; r < lines.size(); ++r) {
    const ScreenLine line = lines[r];
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
  const Options options{(data[0] & kFixedBit) != 0, (data[0] & kUpperSetBit) ? 0 : 1,
                        static_cast<std::uint8_t>(data[0] >> kColourShift)};
  SplitMix random(data[1] * 0x100000001ull + size);
  const std::size_t largestBatch = 1 + data[1] % 97;
  const std::uint8_t* stream = data + kHeader;
  const std::size_t length = size - kHeader;

  // Whole: one batch, as a loaded file or a replay at its end.
  PetsciiScreen whole;
  Start(whole, options);
  whole.LoadBytes(ByteBuffer(stream, stream + length));
  Start(whole, options);
  whole.ProcessPending();
  CheckInvariants(whole, options);
  const ScreenSnapshot expected(whole);

  // Byte by byte, and in batches, as a connection delivers it.
  PetsciiScreen single, batched;
  Start(single, options);
  Start(batched, options);
  for (std::size_t i = 0; i < length; ++i) {
    single.AppendByte(stream[i]);
    single.ProcessPending();
    if (options.fixed) FUZZ_CHECK(single.RowCount() <= PetsciiScreen::kRows, "a fixed screen keeps 25 rows");
  }
  for (std::size_t i = 0; i < length;) {
    const std::size_t batch = std::min(random.upTo(largestBatch), length - i);
    for (std::size_t k = 0; k < batch; ++k) batched.AppendByte(stream[i + k]);
    batched.ProcessPending();
    i += batch;
  }
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
