// SPDX-License-Identifier: GPL-3.0-or-later
#include "terminal/wxPetsciiScrolledCanvas.h"

#include <cairo.h>
#include <wx/graphics.h>
#include <wx/dcclient.h>
#include <wx/image.h>

#include "app/CommandIds.h"
#include "resources/copy_ascii.xpm"
#include "resources/copy_petscii.xpm"
#include "resources/screenshot.xpm"
#include "terminal/ScreenCopy.h"
#include "terminal/ScreenView.h"
#include "terminal/wxClipboardHandOver.h"

wxDEFINE_EVENT(wxEVT_PETSCII_CANVAS_RESIZED, wxCommandEvent);
wxDEFINE_EVENT(wxEVT_PETSCII_CANVAS_SCREENSHOT, wxCommandEvent);

namespace qwx {

namespace {
const PaletteColour kCursorColour{0xBB, 0x99, 0xFF};

PaletteColour ToPaletteColour(const wxColour& c) { return {c.Red(), c.Green(), c.Blue()}; }

// The border a C64 shows at power-on, as `render --border 14` draws it.
constexpr int kPictureBorderColour = 14;

wxMenuItem* ItemWithIcon(wxMenu* menu, int id, const wxString& label, const char* const* xpm) {
  auto* item = new wxMenuItem(menu, id, label);
  item->SetBitmap(wxBitmap(xpm));
  return item;
}

std::uint64_t ValidScale(std::uint64_t s) {
  return s >= static_cast<std::uint64_t>(kMinScale) && s <= static_cast<std::uint64_t>(kMaxScale) ? s : 2;
}
}  // namespace

wxPetsciiScrolledCanvas::wxPetsciiScrolledCanvas(wxWindow* parent, PetsciiTerminal& shown,
                                                 std::uint64_t initialScale, const wxSize& cells)
    : terminal(shown), screen(shown.Screen()) {
  // The canvas paints every pixel itself: no background erase, no flicker.
  SetBackgroundStyle(wxBG_STYLE_PAINT);
  Create(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxVSCROLL | wxWANTS_CHARS);
  ShowScrollbars(wxSHOW_SB_NEVER, wxSHOW_SB_ALWAYS);
  const int cell = kGlyphPixels * static_cast<int>(ValidScale(initialScale));
  SetClientSize(cells.x * cell, cells.y * cell);
  SetScale(initialScale);

  Bind(wxEVT_PAINT, &wxPetsciiScrolledCanvas::OnPaint, this);
  Bind(wxEVT_SIZE, &wxPetsciiScrolledCanvas::OnSize, this);
  Bind(wxEVT_LEFT_DOWN, &wxPetsciiScrolledCanvas::OnMouse, this);
  Bind(wxEVT_LEFT_UP, &wxPetsciiScrolledCanvas::OnMouse, this);
  Bind(wxEVT_MOTION, &wxPetsciiScrolledCanvas::OnMouse, this);
  Bind(wxEVT_ENTER_WINDOW, [this](wxMouseEvent& e) { SetCursor(wxCursor(wxCURSOR_IBEAM)); e.Skip(); });
  Bind(wxEVT_LEAVE_WINDOW, [this](wxMouseEvent& e) { SetCursor(wxNullCursor); e.Skip(); });
  Bind(wxEVT_KEY_UP, &wxPetsciiScrolledCanvas::OnKeyUp, this);
  Bind(wxEVT_CONTEXT_MENU, &wxPetsciiScrolledCanvas::OnContextMenu, this);
  Bind(wxEVT_MENU, [this](wxCommandEvent&) { CopyAsAscii(); }, wxID_COPY);
  Bind(wxEVT_MENU, [this](wxCommandEvent&) { CopyAsPetscii(); }, command::kCopyAsPetscii);
  Bind(wxEVT_MENU, [this](wxCommandEvent&) { TakeScreenshot(); }, command::kScreenshot);
  Bind(wxEVT_MENU, [this](wxCommandEvent&) { SelectAll(); }, command::kSelectAll);
  Bind(wxEVT_UPDATE_UI, [this](wxUpdateUIEvent& e) { e.Enable(!selection.Empty()); }, wxID_COPY);
  Bind(wxEVT_UPDATE_UI, [this](wxUpdateUIEvent& e) { e.Enable(!selection.Empty()); }, command::kCopyAsPetscii);
  Bind(wxEVT_UPDATE_UI, [this](wxUpdateUIEvent& e) { e.Enable(screen.RowCount() > 0); }, command::kScreenshot);
  Bind(wxEVT_UPDATE_UI, [this](wxUpdateUIEvent& e) { e.Enable(screen.RowCount() > 0); }, command::kSelectAll);
}

wxPetsciiScrolledCanvas::~wxPetsciiScrolledCanvas() = default;

void wxPetsciiScrolledCanvas::SetScale(std::uint64_t s) {
  scale = ValidScale(s);
  cellWidth = cellHeight = kGlyphPixels * static_cast<int>(scale);
  const int width = static_cast<int>(columns) * cellWidth;
  const int height = static_cast<int>(visibleRows) * cellHeight;
  SetMinClientSize(wxSize(width, height));
  SetMaxClientSize(wxSize(width, -1));
  SetClientSize(width, height);
  UpdateScrollbars();
  Refresh();
}

void wxPetsciiScrolledCanvas::SetVisibleRows(std::uint64_t rows) {
  const int width = GetClientSize().x;
  const int height = static_cast<int>(rows) * cellHeight;
  SetMinClientSize(wxSize(width, height));
  SetMaxClientSize(wxSize(width, -1));
  SetClientSize(width, height);
  UpdateScrollbars();
}

void wxPetsciiScrolledCanvas::LoadBytes(const ByteBuffer& bytes) {
  terminal.LoadBytes(bytes);
  if (bytes.empty()) selection = Selection{};
  terminal.Reset(initialColour, fixedScreen, initialBackground);
}

void wxPetsciiScrolledCanvas::StartAfresh() {
  const std::uint64_t droppedBefore = screen.DroppedRows();
  // The new screen's rows may push the oldest past the ceiling, as a batch's can.
  terminal.StartAfresh(initialColour, initialBackground);
  FollowDroppedRows(droppedBefore);
}

void wxPetsciiScrolledCanvas::ShowCurrentScreen() {
  Scroll(0, static_cast<int>(CurrentScreenViewStart(screen, visibleRows)));
}

void wxPetsciiScrolledCanvas::ProcessPending() {
  const std::uint64_t droppedBefore = screen.DroppedRows();
  terminal.ProcessPending();
  FollowDroppedRows(droppedBefore);
}

void wxPetsciiScrolledCanvas::FollowDroppedRows(std::uint64_t droppedBefore) {
  // Rows dropped at the ceiling: the view and the selection keep to their rows.
  const std::uint64_t dropped = screen.DroppedRows() - droppedBefore;
  selection.DropRows(dropped);
  SetScrollRange(dropped);
}

void wxPetsciiScrolledCanvas::UpdateScrollbars() { SetScrollRange(0); }

void wxPetsciiScrolledCanvas::SetScrollRange(std::uint64_t droppedRows) {
  const std::uint64_t rows = ScrollRows(screen);
  int x = 0, y = 0;
  GetViewStart(&x, &y);
  const std::uint64_t viewRow = static_cast<std::uint64_t>(std::max(y, 0));
  y = static_cast<int>(viewRow > droppedRows ? viewRow - droppedRows : 0);
  SetScrollbars(cellWidth, cellHeight, static_cast<int>(columns), static_cast<int>(rows), x, y);
}

std::uint64_t wxPetsciiScrolledCanvas::ViewStartRow() const {
  int x = 0, y = 0;
  GetViewStart(&x, &y);
  return static_cast<std::uint64_t>(std::max(y, 0));
}

void wxPetsciiScrolledCanvas::Refresh(bool eraseBackground, const wxRect*) {
  if (repaintPending) return;
  repaintPending = true;
  wxScrolled<wxWindow>::Refresh(eraseBackground, nullptr);
}

void wxPetsciiScrolledCanvas::OnPaint(wxPaintEvent&) {
  repaintPending = false;
  wxPaintDC dc(this);
  const wxSize client = GetClientSize();
  if (client.x <= 0 || client.y <= 0) return;
  ComposeRequest request;
  request.screen = &screen;
  request.palette = palette ? palette : &kBuiltInPalette;
  request.colours.cursor = kCursorColour;
  request.colours.separator = ToPaletteColour(*wxGREEN);
  request.scale = static_cast<int>(scale);
  request.firstRow = ViewStartRow();
  request.rowsToDraw = visibleRows + 1;
  request.width = client.x;
  request.height = client.y;
  request.selection = selection.Empty() ? nullptr : &selection;
  request.showCursor = showCursor;
  BlitComposed(dc, request, frame);
}

void BlitComposed(wxDC& dc, const ComposeRequest& request, PixelBuffer& pixels) {
  wxGraphicsContext* graphics = dc.GetGraphicsContext();
  auto* cairo = graphics ? static_cast<cairo_t*>(graphics->GetNativeContext()) : nullptr;
  if (!cairo) {
    // No cairo context to hand the pixels to: go through a toolkit image.
    pixels.format = PixelFormat::Rgb24;
    ComposeScreen(request, pixels);
    wxImage image(pixels.width, pixels.height, pixels.rgb.data(), true);
    dc.DrawBitmap(wxBitmap(image), 0, 0);
    return;
  }
  // The display's own pixel layout: the composed words are painted as they are.
  pixels.format = PixelFormat::Xrgb32;
  ComposeScreen(request, pixels);
  cairo_surface_t* surface = cairo_image_surface_create_for_data(pixels.rgb.data(), CAIRO_FORMAT_RGB24, pixels.width,
                                                                 pixels.height, pixels.Stride());
  cairo_save(cairo);
  cairo_set_operator(cairo, CAIRO_OPERATOR_SOURCE);
  cairo_set_source_surface(cairo, surface, 0, 0);
  cairo_paint(cairo);
  cairo_restore(cairo);
  cairo_surface_destroy(surface);
}

void wxPetsciiScrolledCanvas::OnSize(wxSizeEvent& event) {
  const int height = GetClientSize().y;
  visibleRows = static_cast<std::uint64_t>(std::max(height, 0) / cellHeight);
  UpdateScrollbars();
  event.Skip();
  Refresh();
  if (GetParent()) wxQueueEvent(GetParent(), new wxCommandEvent(wxEVT_PETSCII_CANVAS_RESIZED, 0));
}

CellPosition wxPetsciiScrolledCanvas::CellUnderPointer(const wxPoint& position) const {
  const auto& lines = screen.Lines();
  if (lines.empty()) return {};
  // Above or left of the canvas clamps to the first row or column.
  const std::uint64_t y = static_cast<std::uint64_t>(std::max(position.y, 0) / cellHeight);
  const std::uint64_t x = static_cast<std::uint64_t>(std::max(position.x, 0) / cellWidth);
  int viewX = 0, viewY = 0;
  GetViewStart(&viewX, &viewY);
  std::uint64_t row = y + static_cast<std::uint64_t>(viewY);
  if (row >= lines.size()) row = lines.size() - 1;
  std::uint64_t column = x + static_cast<std::uint64_t>(viewX);
  column = std::min<std::uint64_t>(column, lines[row].cells.size());
  return {row, column};
}

void wxPetsciiScrolledCanvas::OnMouse(wxMouseEvent& event) {
  if (event.LeftUp()) {
    // A quick drag may end away from its last motion: the release is its end.
    if (selecting) {
      selection.end = CellUnderPointer(event.GetPosition());
      Refresh();
    }
    selecting = false;
  } else if (event.LeftDown()) {
    selecting = true;
    selection.anchor = selection.end = CellUnderPointer(event.GetPosition());
    Refresh();
  } else if (event.Dragging() && selecting && event.LeftIsDown()) {
    selection.end = CellUnderPointer(event.GetPosition());
    Refresh();
  }
  event.Skip();
}

std::unique_ptr<wxMenu> wxPetsciiScrolledCanvas::BuildContextMenu() {
  auto menu = std::make_unique<wxMenu>();
  menu->Append(ItemWithIcon(menu.get(), wxID_COPY, "&Copy as ASCII\tAlt+C", copy_ascii_xpm));
  menu->Append(ItemWithIcon(menu.get(), command::kCopyAsPetscii, "Copy as &PETSCII", copy_petscii_xpm));
  menu->Append(command::kSelectAll, "Select A&ll");
  if (offerScreenshot) menu->Append(ItemWithIcon(menu.get(), command::kScreenshot, "&Screenshot", screenshot_xpm));
  if (contextMenuExtension) {
    for (const ContextMenuEntry& entry : contextMenuExtension()) {
      menu->Append(entry.create(menu.get()));
      if (entry.appended) entry.appended();
    }
  }
  // Hovering the items must not rewrite the window's status bar: the menu
  // keeps their highlight events to itself. (It lives only while it is open.)
  menu->Bind(wxEVT_MENU_HIGHLIGHT, [](wxMenuEvent&) {});
  return menu;
}

void wxPetsciiScrolledCanvas::OnContextMenu(wxContextMenuEvent&) {
  std::unique_ptr<wxMenu> menu = BuildContextMenu();
  PopupMenu(menu.get());
}

void wxPetsciiScrolledCanvas::CopyAsAscii() {
  if (selection.Empty()) return;
  const std::string text = AsciiCopy(screen, selection);
  PutTextOnClipboard(std::u32string(text.begin(), text.end()));
}

void wxPetsciiScrolledCanvas::CopyAsPetscii() {
  if (selection.Empty()) return;
  // One character per byte: the bytes come back exactly from the Latin-1
  // STRING, or from the UTF-8 text.
  const std::wstring text = PetsciiClipboardText(PetsciiCopy(screen, selection));
  PutTextOnClipboard(std::u32string(text.begin(), text.end()));
}

void wxPetsciiScrolledCanvas::SelectAll() {
  const std::uint64_t rows = screen.RowCount();
  const std::uint64_t first = ViewStartRow();
  if (first >= rows) return;
  const std::uint64_t last = std::min(first + visibleRows, rows) - 1;
  selection.anchor = {first, 0};
  selection.end = {last, screen.Lines()[last].cells.size()};
  Refresh();
}

PixelBuffer wxPetsciiScrolledCanvas::ScreenPicture(bool border) const {
  ComposeRequest request = ScreenRequest(screen, static_cast<int>(scale), ViewStartRow(), PetsciiScreen::kRows);
  request.palette = palette ? palette : &kBuiltInPalette;
  PixelBuffer pixels;
  ComposeScreen(request, pixels);
  if (border) AddBorder(pixels, (*request.palette)[kPictureBorderColour], static_cast<int>(scale));
  return pixels;
}

void wxPetsciiScrolledCanvas::TakeScreenshot() {
  if (screen.RowCount() == 0) return;
  screenshot = Screenshot(screen, ViewStartRow());
  if (GetParent()) wxQueueEvent(GetParent(), new wxCommandEvent(wxEVT_PETSCII_CANVAS_SCREENSHOT, 0));
}

void wxPetsciiScrolledCanvas::OnKeyUp(wxKeyEvent& event) {
  // The keyboard is handled application-wide; key-ups go to the parent only.
  if (GetParent()) GetParent()->GetEventHandler()->ProcessEvent(event);
}

}  // namespace qwx
