#pragma once
// The terminal's memory: the bytes received since the last load (the
// latest of them past a ceiling), and the rows of character cells a C64
// screen editor would have made of them.
#include <cstdint>

#include "settings/ByteBuffer.h"
#include "terminal/RowStore.h"
#include "terminal/ScreenLine.h"

class PetsciiScreen {
 public:
  static constexpr std::uint64_t kColumns = 40;
  static constexpr std::uint64_t kRows = 25;
  // INST may push a row past 40 cells; past this bound the pushed cells are
  // dropped so that hostile input cannot grow a row without limit.
  static constexpr std::uint64_t kMaxRowCells = RowStore::kMaxCells;
  // The most rows kept. Past it the oldest scrollback rows are dropped, so
  // that no host can take all of the user's memory.
  static constexpr std::uint64_t kMaxKeptRows = 1000000;
  // The most interpreted bytes kept in the byte log. Past it the older
  // half goes: the rows hold what they made, and a flood must not keep a
  // second copy of everything the session received.
  static constexpr std::uint64_t kMaxKeptBytes = std::uint64_t{16} << 20;
  static constexpr std::uint8_t kDefaultColour = 14;
  static constexpr std::uint8_t kDefaultBackground = 0;  // black

  explicit PetsciiScreen(std::uint8_t initialColour = kDefaultColour, bool fixedScreen = false);

  // Colours are taken by their low four bits.
  void Reset(std::uint8_t initialColour, bool fixedScreen, std::uint8_t background = kDefaultBackground);
  void LoadBytes(const ByteBuffer& bytes);
  void LoadBytes(ByteBuffer&& bytes);
  // The character set in force before the first byte (1: lower case, as
  // after Reset; 0: upper case/graphics, as a C64 starts). Call after Reset.
  void SetStartCharset(int lowerCase) { lowerCase_ = startLowerCase_ = lowerCase ? 1 : 0; }
  void AppendByte(std::uint8_t b) { bytes_.push_back(b); }
  // Interprets every byte appended since the previous call.
  void ProcessPending();
  // Switches the character set of the visible screen (the keyboard's toggle).
  void ToggleCharset();
  // A new connection's screen: the bytes appended so far are interpreted,
  // the screen is cleared (in history mode the old one stays as scrollback),
  // and text starts in `colour`, reverse off, on `background`, in the
  // character set the screen started in. The bytes are left as they are.
  void StartAfresh(std::uint8_t colour, std::uint8_t background);
  // The cell, creating rows and blank cells up to it as needed. A column
  // at or past kMaxRowCells throws std::out_of_range.
  ScreenCell& CellAt(std::uint64_t row, std::uint64_t column);

  ScreenRows Lines() const { return ScreenRows(lines_); }
  std::uint64_t RowCount() const { return lines_.Size(); }
  // How many of the oldest rows were dropped to stay within kMaxKeptRows
  // since the last Reset or LoadBytes; a row numbered n before a batch is
  // numbered n minus the batch's increase of this count after it.
  std::uint64_t DroppedRows() const { return droppedRows_; }
  // The byte log: every byte since the last load, while they are no more
  // than kMaxKeptBytes.
  const ByteBuffer& Bytes() const { return bytes_; }
  bool FixedScreen() const { return fixedScreen_; }
  std::uint64_t Columns() const { return columns_; }
  std::uint64_t Rows() const { return rows_; }
  std::uint64_t Processed() const { return processed_; }
  std::uint64_t Top() const { return top_; }
  std::uint64_t CursorRow() const { return cursorRow_; }
  std::uint64_t CursorColumn() const { return cursorColumn_; }
  std::uint8_t Colour() const { return colour_; }
  int Reverse() const { return reverse_; }
  int LowerCase() const { return lowerCase_; }
  // The colour index of the whole screen's background.
  std::uint8_t Background() const { return background_; }

 private:
  void Interpret(std::uint8_t b);
  // The byte at `processed_` after the background prefix: a colour code
  // sets the background and is used up; any other byte is left alone.
  void TakeBackgroundCode();
  void BackgroundPrefix();
  void Print(std::uint8_t b);
  void PrintRun(std::uint64_t end);
  void LineFeed();
  void Advance();
  void CursorLeft();
  void Delete();
  void Insert();
  void Clear();
  void SelectCharset(int lowerCase);
  void TrimFixedScreen();
  void MarkContent(std::uint64_t row);
  RowStore::OpenCells OpenRow(std::uint64_t row);
  RowStore::OpenCells OpenUpTo(std::uint64_t row, std::uint64_t column);
  void LeaveScreen(std::uint64_t row);
  void DropOldestRows();
  void DropOldestBytes();
  void ApplyCharset(std::uint64_t row);
  void ApplyPendingCharset(std::uint64_t firstRow);

  ByteBuffer bytes_;
  bool fixedScreen_ = false;
  std::uint64_t columns_ = kColumns;
  std::uint64_t rows_ = kRows;
  std::uint64_t processed_ = 0;
  std::uint64_t top_ = 0;
  std::uint64_t cursorRow_ = 0;
  std::uint64_t cursorColumn_ = 0;
  std::uint8_t colour_ = kDefaultColour;
  int reverse_ = 0;
  int lowerCase_ = 1;
  int startLowerCase_ = 1;
  std::uint8_t background_ = kDefaultBackground;
  // The last batch ended on the background prefix: the next one's first
  // byte, a colour code, sets the background (a pair split between two
  // reads counts all the same).
  bool awaitingBackground_ = false;

  // A character-set switch is applied lazily: while set, every written cell
  // of the screen rows takes the set bit of lowerCase_. Rows leaving the
  // screen and the whole screen at the end of a batch get it applied, so a
  // stream of switches costs constant time per byte.
  bool charsetPending_ = false;
  // One past the last row that has cells or is a separator (an upper bound:
  // DEL may have emptied rows below it). Spares a clear-screen the scan over
  // a long run of empty rows.
  std::uint64_t contentEnd_ = 0;
  std::uint64_t droppedRows_ = 0;
  RowStore lines_;
};
