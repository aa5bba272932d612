// SPDX-License-Identifier: GPL-3.0-or-later
#include "terminal/RowStore.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <new>

namespace {
// Cell pages of 2 MiB. A packed row never straddles two pages; the cells
// left at the end of a page are fewer than a row's worth.
constexpr int kPageShift = 19;
constexpr std::uint64_t kPageCells = std::uint64_t{1} << kPageShift;
constexpr std::size_t kPageBytes = kPageCells * sizeof(ScreenCell);
constexpr std::uint64_t kOffsetMask = kPageCells - 1;
// Positions wrap around within their bits: page numbers are compared
// modulo this, far more pages than a capped scrollback can hold.
constexpr std::uint64_t kPageNumberMask = RowStore::kWhereMask >> kPageShift;

// A cell page: a mapping of 2 MiB on a 2 MiB boundary, which the kernel may
// back with one huge page (`huge`): taking a growing scrollback as 512 small
// pages, each on first touch, costs more than all the copying of rows into
// them. Small pages for the first two pages of a store, so that a short
// session takes no more memory than its rows fill, and once it drops rows
// at the front, so that the page being filled holds no more than its rows.
// A page is only ever written by copying rows in, so it is not cleared first.
ScreenCell* MapCellPage(bool huge) {
  void* mapping = mmap(nullptr, 2 * kPageBytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (mapping == MAP_FAILED) throw std::bad_alloc();
  const auto start = reinterpret_cast<std::uintptr_t>(mapping);
  const std::uintptr_t page = (start + kPageBytes - 1) & ~std::uintptr_t{kPageBytes - 1};
  if (page > start) munmap(mapping, page - start);
  if (start + 2 * kPageBytes > page + kPageBytes)
    munmap(reinterpret_cast<void*>(page + kPageBytes), start + 2 * kPageBytes - (page + kPageBytes));
#ifdef MADV_HUGEPAGE
  if (huge) madvise(reinterpret_cast<void*>(page), kPageBytes, MADV_HUGEPAGE);
#endif
  return reinterpret_cast<ScreenCell*>(page);
}
}  // namespace

void RowStore::FreeCells::operator()(ScreenCell* cells) const { munmap(cells, kPageBytes); }

ScreenCell* RowStore::PageCells(std::uint64_t where) const {
  const std::uint64_t page = ((where >> kPageShift) - firstPage_) & kPageNumberMask;
  return cellPages_[page].cells.get() + (where & kOffsetMask);
}

ScreenLine RowStore::Row(std::uint64_t row) const {
  const Fields f = Unpack(records_[row]);
  ScreenLine line;
  line.separator = f.separator;
  line.continued = f.continued;
  if (f.length > 0) line.cells = CellSpan(f.open ? SlotCells(f.where) : PageCells(f.where), f.length);
  return line;
}

void RowStore::SetSeparator(std::uint64_t row, bool separator) {
  Fields f = Unpack(records_[row]);
  f.separator = separator;
  records_[row] = PackFields(f);
}

void RowStore::SetContinued(std::uint64_t row, bool continued) {
  Fields f = Unpack(records_[row]);
  f.continued = continued;
  records_[row] = PackFields(f);
}

void RowStore::InsertEmpty(std::uint64_t at) {
  const std::uint64_t size = records_.Size();
  records_.PushBack(PackFields(Fields{}), 1);
  for (std::uint64_t r = size; r > at; --r) records_[r] = records_[r - 1];
  records_[at] = PackFields(Fields{});
}

void RowStore::Grow(std::uint64_t count) {
  if (count > records_.Size()) records_.PushBack(PackFields(Fields{}), count - records_.Size());
}

void RowStore::Shrink(std::uint64_t count) {
  if (count >= records_.Size()) return;
  for (std::uint64_t r = count; r < records_.Size(); ++r) ReleaseCells(Unpack(records_[r]));
  records_.PopBack(records_.Size() - count);
}

void RowStore::DropFront(std::uint64_t count) {
  count = std::min(count, records_.Size());
  // Where the last dropped row's cells end: all before it in that page is dead.
  std::uint64_t page = 0, deadEnd = 0;
  for (std::uint64_t r = 0; r < count; ++r) {
    const Fields f = Unpack(records_[r]);
    if (!f.open && f.length > 0) {
      page = f.where >> kPageShift;
      deadEnd = (f.where & kOffsetMask) + f.length;
    }
    ReleaseCells(f);
  }
  records_.PopFront(count);
  if (count > 0) droppedFront_ = true;
  lastPackedRow_ = lastPackedRow_ > count ? lastPackedRow_ - count : 0;
  // Not the page being filled: it is still to take rows, and is reused whole.
  if (deadEnd > 0 && cellPages_.size() > 1 && page == firstPage_) GiveBackFrontCells(deadEnd);
}

void RowStore::GiveBackFrontCells(std::uint64_t end) {
  // A page goes only with its last row; the memory of the dropped rows'
  // cells before it goes now, a system page at a time.
  CellPage& front = cellPages_.front();
  if (!front.oldestFirst || end <= front.givenBack) return;
  const std::uintptr_t cells = reinterpret_cast<std::uintptr_t>(front.cells.get());
  const std::uintptr_t systemPage = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
  const std::uintptr_t from = (cells + front.givenBack * sizeof(ScreenCell) + systemPage - 1) & ~(systemPage - 1);
  const std::uintptr_t to = (cells + end * sizeof(ScreenCell)) & ~(systemPage - 1);
  if (to > from) madvise(reinterpret_cast<void*>(from), to - from, MADV_DONTNEED);
  front.givenBack = end;
}

void RowStore::Clear() {
  records_.Clear();
  std::vector<std::unique_ptr<Slot[]>>().swap(slots_);
  slotCount_ = 0;
  std::vector<std::uint32_t>().swap(freeSlots_);
  std::vector<CellPage>().swap(cellPages_);
  sparePage_.reset();
  firstPage_ = 0;
  appendOffset_ = 0;
  lastPackedRow_ = 0;
  droppedFront_ = false;
}

std::uint32_t RowStore::TakeSlot() {
  if (!freeSlots_.empty()) {
    const std::uint32_t slot = freeSlots_.back();
    freeSlots_.pop_back();
    return slot;
  }
  if (slotCount_ == slots_.size() * kSlotsPerChunk) slots_.emplace_back(new Slot[kSlotsPerChunk]);
  return slotCount_++;
}

RowStore::OpenCells RowStore::OpenPacked(std::uint64_t row) {
  Fields f = Unpack(records_[row]);
  const std::uint32_t slot = TakeSlot();
  ScreenCell* cells = SlotCells(slot);
  if (f.length > 0) {
    std::memcpy(cells, PageCells(f.where), f.length * sizeof(ScreenCell));
    ReleaseCells(f);
  }
  f.open = true;
  f.where = slot;
  records_[row] = PackFields(f);
  return {cells, f.length};
}

ScreenCell* RowStore::CellsInPlace(std::uint64_t row) {
  const Fields f = Unpack(records_[row]);
  if (f.open) return SlotCells(f.where);
  return f.length > 0 ? PageCells(f.where) : nullptr;
}

void RowStore::Pack(std::uint64_t row) {
  Fields f = Unpack(records_[row]);
  if (!f.open) return;
  const std::uint32_t slot = static_cast<std::uint32_t>(f.where);
  f.open = false;
  f.where = f.length > 0 ? AppendCells(SlotCells(slot), f.length) : 0;
  if (f.length > 0) {
    if (row < lastPackedRow_) cellPages_.back().oldestFirst = false;
    lastPackedRow_ = row;
  }
  freeSlots_.push_back(slot);
  records_[row] = PackFields(f);
}

void RowStore::Empty(std::uint64_t row) {
  Fields f = Unpack(records_[row]);
  if (f.open) {
    f.length = 0;
  } else {
    ReleaseCells(f);
    f = Fields{0, false, 0, f.separator, f.continued};
  }
  records_[row] = PackFields(f);
}

std::uint64_t RowStore::AppendCells(const ScreenCell* cells, std::uint64_t count) {
  if (cellPages_.empty() || appendOffset_ + count > kPageCells) {
    const bool growing = cellPages_.size() >= 2 && !droppedFront_;
    // The full page stays while rows lie in it; with none left it goes now.
    if (!cellPages_.empty() && cellPages_.back().rows == 0) RetirePage(cellPages_.back().cells);
    cellPages_.push_back(CellPage{TakePage(growing), 0});
    appendOffset_ = 0;
    DropEmptyFrontPages();
  }
  CellPage& page = cellPages_.back();
  std::memcpy(page.cells.get() + appendOffset_, cells, count * sizeof(ScreenCell));
  ++page.rows;
  const std::uint64_t pageNumber = (firstPage_ + cellPages_.size() - 1) & kPageNumberMask;
  const std::uint64_t where = (pageNumber << kPageShift) | appendOffset_;
  appendOffset_ += count;
  return where;
}

void RowStore::ReleaseCells(const Fields& fields) {
  if (fields.open) {
    freeSlots_.push_back(static_cast<std::uint32_t>(fields.where));
    return;
  }
  if (fields.length == 0) return;
  const std::uint64_t index = ((fields.where >> kPageShift) - firstPage_) & kPageNumberMask;
  CellPage& page = cellPages_[index];
  // The page being filled stays even when empty.
  if (--page.rows > 0 || index + 1 == cellPages_.size()) return;
  RetirePage(page.cells);
  DropEmptyFrontPages();
}

RowStore::PageMemory RowStore::TakePage(bool huge) {
  if (sparePage_) return std::move(sparePage_);
  return PageMemory(MapCellPage(huge));
}

void RowStore::RetirePage(PageMemory& cells) {
  if (sparePage_)
    cells.reset();
  else
    sparePage_ = std::move(cells);
}

void RowStore::DropEmptyFrontPages() {
  // A freed page in the middle (its rows were opened again and moved)
  // waits for the pages before it.
  std::size_t emptied = 0;
  while (emptied + 1 < cellPages_.size() && !cellPages_[emptied].cells) ++emptied;
  if (emptied == 0) return;
  cellPages_.erase(cellPages_.begin(), cellPages_.begin() + static_cast<std::ptrdiff_t>(emptied));
  firstPage_ = (firstPage_ + emptied) & kPageNumberMask;
}
