// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The rows of a screen model, built for long scrollback under floods: no
// heap block per row and no regrowth of one big array.
//
// Every row is a 6-byte record in pages of records. A row that left the
// screen is packed: its cells sit, exactly as many as it holds, in large
// cell pages shared by many rows. A row being written is open: its cells
// sit in a slot with room for a whole row. An empty row, open or not,
// costs its record only. Dropping the oldest rows frees whole pages. What
// still grows by copying are the tables of page pointers: one pointer per
// 4096 rows and per 524288 cells.
#include <algorithm>
#include <array>
#include <cstdint>
#include <iterator>
#include <memory>
#include <vector>

#include "terminal/ScreenLine.h"

// A queue of plain values in fixed pages: appending never moves what is
// stored, dropping from the front frees pages as they empty.
template <typename T, std::size_t kPageItems>
class PagedQueue {
 public:
  std::uint64_t Size() const { return size_; }
  T& operator[](std::uint64_t i) { return At(i); }
  const T& operator[](std::uint64_t i) const { return const_cast<PagedQueue*>(this)->At(i); }

  // Appends `count` copies of `value`.
  void PushBack(const T& value, std::uint64_t count) {
    while (count > 0) {
      const std::uint64_t at = head_ + size_;
      if (at / kPageItems == pages_.size()) pages_.emplace_back(new T[kPageItems]);
      const std::uint64_t run = std::min<std::uint64_t>(count, kPageItems - at % kPageItems);
      std::fill_n(&pages_[at / kPageItems][at % kPageItems], run, value);
      size_ += run;
      count -= run;
    }
  }
  void PopBack(std::uint64_t count) {
    size_ -= count;
    // Keep the page being written and nothing beyond it.
    const std::uint64_t used = (head_ + size_ + kPageItems - 1) / kPageItems;
    if (pages_.size() > used + 1) pages_.resize(used + 1);
  }
  void PopFront(std::uint64_t count) {
    head_ += count;
    size_ -= count;
    const std::uint64_t emptied = head_ / kPageItems;
    if (emptied > 0) {
      pages_.erase(pages_.begin(), pages_.begin() + static_cast<std::ptrdiff_t>(emptied));
      head_ -= emptied * kPageItems;
    }
  }
  void Clear() {
    std::vector<std::unique_ptr<T[]>>().swap(pages_);
    head_ = size_ = 0;
  }

 private:
  T& At(std::uint64_t i) {
    const std::uint64_t at = head_ + i;
    return pages_[at / kPageItems][at % kPageItems];
  }

  std::vector<std::unique_ptr<T[]>> pages_;
  std::uint64_t head_ = 0;  // index of the first item in pages_[0]
  std::uint64_t size_ = 0;
};

class RowStore {
 public:
  // A row is the screen's width: what runs past it goes on to the next row.
  static constexpr std::uint64_t kMaxCells = 40;
  // Where a row's cells are: a slot number or a cell-page position.
  static constexpr int kWhereBits = 39;
  static constexpr std::uint64_t kWhereMask = (std::uint64_t{1} << kWhereBits) - 1;

  RowStore() = default;
  RowStore(RowStore&&) = default;
  RowStore& operator=(RowStore&&) = default;

  std::uint64_t Size() const { return records_.Size(); }
  ScreenLine Row(std::uint64_t row) const;
  std::uint64_t Length(std::uint64_t row) const { return Unpack(records_[row]).length; }
  bool Separator(std::uint64_t row) const { return Unpack(records_[row]).separator; }
  // Whether the row continues the logical line of the row above it.
  bool Continued(std::uint64_t row) const { return Unpack(records_[row]).continued; }
  // Whether the row has cells or is a separator.
  bool HoldsContent(std::uint64_t row) const { return (records_[row].words[2] & kContentBits) != 0; }
  void SetSeparator(std::uint64_t row, bool separator);
  void SetContinued(std::uint64_t row, bool continued);

  // Appends empty rows until there are `count`.
  void Grow(std::uint64_t count);
  // Removes rows from the end until `count` remain.
  void Shrink(std::uint64_t count);
  // Removes the `count` oldest rows.
  void DropFront(std::uint64_t count);
  // Puts an empty row before row `at`, which with every row after it moves
  // one place on. Costs a record move per row after it.
  void InsertEmpty(std::uint64_t at);
  // Removes every row and releases the memory.
  void Clear();

  // The row opened for writing: room for kMaxCells cells, of which the
  // first `length` are the row's. SetLength declares how many are.
  struct OpenCells {
    ScreenCell* cells;
    std::uint64_t length;
  };
  OpenCells Open(std::uint64_t row) {
    const Fields f = Unpack(records_[row]);
    return f.open ? OpenCells{SlotCells(f.where), f.length} : OpenPacked(row);
  }
  void SetLength(std::uint64_t row, std::uint64_t length) {
    Fields f = Unpack(records_[row]);
    f.length = std::min(length, kMaxCells);
    records_[row] = PackFields(f);
  }
  // The row's own cells, to change in place (not to add to).
  ScreenCell* CellsInPlace(std::uint64_t row);
  // The row keeps its cells in a cell page from now on (it left the screen).
  void Pack(std::uint64_t row);
  // The row loses its cells.
  void Empty(std::uint64_t row);

 private:
  // 6 bytes: where the cells are (39 bits), whether that is a slot
  // (open row) or a cell-page position, the length, the continued and
  // separator flags.
  struct Record {
    std::uint16_t words[3];
  };
  static_assert(sizeof(Record) == 6, "an empty row costs six bytes");
  static constexpr int kOpenBit = 39;
  static constexpr int kLengthShift = 40;
  static constexpr std::uint64_t kLengthMask = 0x3F;
  static constexpr int kContinuedBit = 46;
  static constexpr int kSeparatorBit = 47;
  // The length and the separator flag, in the record's last word.
  static constexpr std::uint16_t kContentBits =
      static_cast<std::uint16_t>((kLengthMask << (kLengthShift - 32)) | (1u << (kSeparatorBit - 32)));
  static_assert(kMaxCells <= kLengthMask, "a row's length fits its field");
  struct Fields {
    std::uint64_t where = 0;
    bool open = false;
    std::uint64_t length = 0;
    bool separator = false;
    bool continued = false;
  };
  static Fields Unpack(const Record& record) {
    const std::uint64_t bits = std::uint64_t{record.words[0]} | (std::uint64_t{record.words[1]} << 16) |
                               (std::uint64_t{record.words[2]} << 32);
    return Fields{bits & kWhereMask, ((bits >> kOpenBit) & 1) != 0, (bits >> kLengthShift) & kLengthMask,
                  ((bits >> kSeparatorBit) & 1) != 0, ((bits >> kContinuedBit) & 1) != 0};
  }
  static Record PackFields(const Fields& fields) {
    const std::uint64_t bits = (fields.where & kWhereMask) | (std::uint64_t{fields.open} << kOpenBit) |
                               ((fields.length & kLengthMask) << kLengthShift) |
                               (std::uint64_t{fields.continued} << kContinuedBit) |
                               (std::uint64_t{fields.separator} << kSeparatorBit);
    return Record{{static_cast<std::uint16_t>(bits), static_cast<std::uint16_t>(bits >> 16),
                   static_cast<std::uint16_t>(bits >> 32)}};
  }
  OpenCells OpenPacked(std::uint64_t row);

  using Slot = std::array<ScreenCell, kMaxCells>;
  static constexpr std::size_t kSlotsPerChunk = 32;
  // A cell page is a mapping of its own (RowStore.cpp).
  struct FreeCells {
    void operator()(ScreenCell* cells) const;
  };
  using PageMemory = std::unique_ptr<ScreenCell[], FreeCells>;
  struct CellPage {
    PageMemory cells;
    std::uint32_t rows = 0;  // packed rows whose cells lie here
    // Its rows were packed oldest first, so the oldest rows' cells are a
    // prefix of the page; that many cells of it went back to the system.
    bool oldestFirst = true;
    std::uint64_t givenBack = 0;
  };

  std::uint32_t TakeSlot();
  ScreenCell* SlotCells(std::uint64_t slot) const {
    return slots_[slot / kSlotsPerChunk][slot % kSlotsPerChunk].data();
  }
  ScreenCell* PageCells(std::uint64_t where) const;
  std::uint64_t AppendCells(const ScreenCell* cells, std::uint64_t count);
  void ReleaseCells(const Fields& fields);
  void DropEmptyFrontPages();
  void GiveBackFrontCells(std::uint64_t end);
  PageMemory TakePage(bool huge);
  void RetirePage(PageMemory& cells);

  static constexpr std::size_t kRecordsPerPage = 4096;
  PagedQueue<Record, kRecordsPerPage> records_;
  std::vector<std::unique_ptr<Slot[]>> slots_;  // in chunks: growing moves no open row
  std::uint32_t slotCount_ = 0;
  std::vector<std::uint32_t> freeSlots_;
  std::vector<CellPage> cellPages_;
  std::uint64_t firstPage_ = 0;  // page number of cellPages_[0]
  std::uint64_t appendOffset_ = 0;  // next free cell in the last page
  std::uint64_t lastPackedRow_ = 0;
  // Rows went from the front: the store keeps its size rather than grows.
  bool droppedFront_ = false;
  // The last page to go, kept for the next one: a store that drops rows as
  // fast as it adds them takes no new memory.
  PageMemory sparePage_;
};

// The rows of a screen model, oldest first, as its readers see them.
class ScreenRows {
 public:
  class Iterator {
   public:
    using iterator_category = std::input_iterator_tag;
    using value_type = ScreenLine;
    using difference_type = std::ptrdiff_t;
    using pointer = const ScreenLine*;
    using reference = ScreenLine;
    Iterator(const RowStore* store, std::uint64_t row) : store_(store), row_(row) {}
    ScreenLine operator*() const { return store_->Row(row_); }
    Iterator& operator++() {
      ++row_;
      return *this;
    }
    Iterator operator++(int) {
      Iterator before = *this;
      ++row_;
      return before;
    }
    bool operator==(const Iterator& other) const { return row_ == other.row_; }
    bool operator!=(const Iterator& other) const { return row_ != other.row_; }

   private:
    const RowStore* store_;
    std::uint64_t row_;
  };

  explicit ScreenRows(const RowStore& store) : store_(&store) {}
  std::uint64_t size() const { return store_->Size(); }
  bool empty() const { return store_->Size() == 0; }
  ScreenLine operator[](std::uint64_t row) const { return store_->Row(row); }
  Iterator begin() const { return Iterator(store_, 0); }
  Iterator end() const { return Iterator(store_, store_->Size()); }

 private:
  const RowStore* store_;
};
