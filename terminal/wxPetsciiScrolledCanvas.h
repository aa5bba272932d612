// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The terminal display: a vertically scrolling window, 40 cells wide, that
// shows every row of its screen model (scrollback included) at a whole
// number scale, with the cursor and the mouse selection.
#include <wx/scrolwin.h>
#include <wx/wx.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "terminal/Palette.h"
#include "terminal/PetsciiTerminal.h"
#include "terminal/ScreenCompositor.h"
#include "terminal/Selection.h"

// Queued to the canvas's parent after every size change and after a screenshot.
wxDECLARE_EVENT(wxEVT_PETSCII_CANVAS_RESIZED, wxCommandEvent);
wxDECLARE_EVENT(wxEVT_PETSCII_CANVAS_SCREENSHOT, wxCommandEvent);

namespace qwx {

// Composes the request into `pixels` and paints them at the context's origin.
void BlitComposed(wxDC& dc, const ComposeRequest& request, PixelBuffer& pixels);

// An owner's own entry in the canvas's context menu.
struct ContextMenuEntry {
  int id = wxID_ANY;
  std::function<wxMenuItem*(wxMenu*)> create;  // makes the item for the menu
  std::function<void()> appended;              // called once the item is in the menu
};
using ContextMenuExtension = std::function<std::vector<ContextMenuEntry>()>;

class wxPetsciiScrolledCanvas : public wxScrolled<wxWindow> {
 public:
  static constexpr std::uint64_t kDefaultColumns = PetsciiScreen::kColumns;
  static constexpr std::uint64_t kDefaultRows = PetsciiScreen::kRows;

  // The canvas shows `terminal`'s screen and feeds it; the owner keeps it.
  wxPetsciiScrolledCanvas(wxWindow* parent, PetsciiTerminal& terminal, std::uint64_t scale, const wxSize& cells);
  ~wxPetsciiScrolledCanvas() override;

  void SetScale(std::uint64_t scale);
  std::uint64_t GetScale() const { return scale; }
  void SetVisibleRows(std::uint64_t rows);
  void LoadBytes(const ByteBuffer& bytes);
  void AppendByte(std::uint8_t b) { terminal.AppendByte(b); }
  void ProcessPending();
  void UpdateScrollbars();
  void ToggleCharset() { terminal.ToggleCharset(); }
  // A new connection's screen (PetsciiTerminal::StartAfresh) in initialColour
  // on initialBackground.
  void StartAfresh();
  // Scrolls to the current screen: its top row at the top of the view, or,
  // in a view taller than a screen, its last row at the bottom.
  void ShowCurrentScreen();
  void SetFixedScreen(bool fixed) { fixedScreen = fixed; }
  void SetContextMenuExtension(ContextMenuExtension extension) { contextMenuExtension = std::move(extension); }
  // One repaint waits at a time, however often the owners ask (a paced
  // board asks at every tick, a flood at every read): the toolkit paints
  // it, the whole canvas, with the display's next frame.
  void Refresh(bool eraseBackground = true, const wxRect* rect = nullptr) override;

  // Read access for owners and tests.
  const PetsciiScreen& Screen() const { return screen; }
  const PetsciiTerminal& Terminal() const { return terminal; }
  std::uint64_t VisibleRows() const { return visibleRows; }
  std::uint64_t Columns() const { return columns; }
  const Selection& GetSelection() const { return selection; }
  int CellWidth() const { return cellWidth; }
  int CellHeight() const { return cellHeight; }
  // The first row in view.
  std::uint64_t ViewStartRow() const;
  // The context menu as it would open now (the caller owns it).
  std::unique_ptr<wxMenu> BuildContextMenu();
  // The selection to the clipboard; nothing without one. The windows holding
  // a canvas bind their Alt+C to the ASCII copy.
  void CopyAsAscii();
  void CopyAsPetscii();
  // Selects every row in view, each to its end.
  void SelectAll();
  // The 25 rows from the first in view at the canvas's scale, as
  // `morlen-petscii render` draws a screen: no cursor, no selection; with
  // the C64's light blue border around it if asked for. RGB pixels.
  PixelBuffer ScreenPicture(bool border) const;
  // A PETSCII stream that redraws the rows in view, kept in `screenshot`;
  // the parent is told (wxEVT_PETSCII_CANVAS_SCREENSHOT).
  void TakeScreenshot();

  // Set by the owners.
  std::uint8_t initialColour = PetsciiScreen::kDefaultColour;
  // The screen's background until the stream sets another; both take effect
  // at the next LoadBytes or StartAfresh.
  std::uint8_t initialBackground = PetsciiScreen::kDefaultBackground;
  const Palette* palette = nullptr;
  bool offerScreenshot = true;
  ByteBuffer screenshot;
  bool showCursor = false;

 private:
  void OnPaint(wxPaintEvent& event);
  void OnSize(wxSizeEvent& event);
  void OnMouse(wxMouseEvent& event);
  void OnKeyUp(wxKeyEvent& event);
  void OnContextMenu(wxContextMenuEvent& event);
  CellPosition CellUnderPointer(const wxPoint& position) const;
  // The scroll range for the rows there are, the view moved up by rows dropped from the model.
  void SetScrollRange(std::uint64_t droppedRows);
  // After the model changed: the selection and the view follow the rows
  // dropped since the model's count was `droppedBefore`.
  void FollowDroppedRows(std::uint64_t droppedBefore);

  ContextMenuExtension contextMenuExtension;
  std::uint64_t columns = kDefaultColumns;
  std::uint64_t visibleRows = kDefaultRows;
  Selection selection;
  PetsciiTerminal& terminal;
  PetsciiScreen& screen;  // the terminal's
  int cellWidth = kGlyphPixels * 2;
  int cellHeight = kGlyphPixels * 2;
  bool fixedScreen = false;
  std::uint64_t scale = 2;
  bool selecting = false;
  bool repaintPending = false;
  PixelBuffer frame;  // reused by every paint
};

}  // namespace qwx
