#include "terminal/RowStore.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {
// Cell pages of 256 KiB. A packed row never straddles two pages; the cells
// left at the end of a page are fewer than a row's worth.
constexpr int kPageShift = 16;
constexpr std::uint64_t kPageCells = std::uint64_t{1} << kPageShift;
constexpr std::uint64_t kOffsetMask = kPageCells - 1;
// Positions wrap around within their bits: page numbers are compared
// modulo this, far more pages than a capped scrollback can hold.
constexpr std::uint64_t kPageNumberMask = RowStore::kWhereMask >> kPageShift;
}  // namespace

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
  for (std::uint64_t r = 0; r < count; ++r) ReleaseCells(Unpack(records_[r]));
  records_.PopFront(count);
}

void RowStore::Clear() {
  records_.Clear();
  std::vector<std::unique_ptr<Slot[]>>().swap(slots_);
  slotCount_ = 0;
  std::vector<std::uint32_t>().swap(freeSlots_);
  std::vector<CellPage>().swap(cellPages_);
  firstPage_ = 0;
  appendOffset_ = 0;
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
    // The full page stays while rows lie in it; with none left it goes now.
    if (!cellPages_.empty() && cellPages_.back().rows == 0) cellPages_.back().cells.reset();
    auto* cells = static_cast<ScreenCell*>(std::malloc(kPageCells * sizeof(ScreenCell)));
    if (cells == nullptr) throw std::bad_alloc();
    cellPages_.push_back(CellPage{std::unique_ptr<ScreenCell[], FreeCells>(cells), 0});
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
  page.cells.reset();
  DropEmptyFrontPages();
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
