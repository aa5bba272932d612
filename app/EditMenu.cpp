// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/EditMenu.h"

#include "app/CommandIds.h"
#include "app/FileChooser.h"
#include "app/LocaleText.h"
#include "app/ProgramValues.h"
#include "app/SaveReport.h"
#include "terminal/PngEncoder.h"
#include "terminal/wxClipboardHandOver.h"

namespace {
constexpr const char* kPngWildcard = "PNG pictures (*.png)|*.png";

void SavePicture(wxWindow& window, const qwx::wxPetsciiScrolledCanvas& canvas,
                 const std::function<void(const wxString&)>& tell) {
  const wxString path = ProgramFileChooser()(&window, FileRequest{true, "Save Screen as PNG", kPngWildcard});
  if (path.empty()) return;
  const ByteBuffer png = EncodePng(canvas.ScreenPicture(pictureBorder()));
  // Replaced whole or not at all; a failure is told in a message box.
  const std::string_view bytes(reinterpret_cast<const char*>(png.data()), png.size());
  if (SaveFileTelling(&window, ToByteString(path), bytes) && tell) tell("Saved the screen as " + path);
}
}  // namespace

std::vector<CommandRow> EditRows(wxWindow& window, qwx::wxPetsciiScrolledCanvas* const& canvas,
                                 std::vector<CommandRow> pasteRows, std::function<void(const wxString&)> tell) {
  qwx::wxPetsciiScrolledCanvas* const* shown = &canvas;
  const auto selected = [shown] { return !(*shown)->GetSelection().Empty(); };
  const auto rows = [shown] { return (*shown)->Screen().RowCount() > 0; };
  std::vector<CommandRow> edit = {
      Command(wxID_COPY, "&Copy as ASCII\tCtrl+Shift+C", "Copy the selection as plain text",
              [shown] { (*shown)->CopyAsAscii(); }, selected),
      Command(command::kCopyAsPetscii, "Copy as P&ETSCII", "Copy the selection as PETSCII codes that redraw it",
              [shown] { (*shown)->CopyAsPetscii(); }, selected),
  };
  edit.insert(edit.end(), pasteRows.begin(), pasteRows.end());
  const std::vector<CommandRow> rest = {
      Separator(),
      Command(command::kSelectAll, "Select &All\tCtrl+Shift+A", "Select the rows in view",
              [shown] { (*shown)->SelectAll(); }, rows),
      Separator(),
      Command(command::kCopyPicture, "Copy Screen as P&icture", "Copy the screen in view as a picture",
              [shown] { qwx::PutPictureOnClipboard((*shown)->ScreenPicture(pictureBorder())); }),
      Command(command::kSavePicture, "Sa&ve Screen as PNG...", "Save the screen in view as a PNG picture",
              [&window, shown, tell] { SavePicture(window, **shown, tell); }),
      Choice(wxITEM_CHECK, command::kPictureBorder, "Pictures with &Border",
             "Draw the C64's border around pictures of the screen",
             [] { pictureBorder() = !pictureBorder(); }, [] { return pictureBorder(); }),
      Separator(),
      Command(command::kScreenshot, "&Screenshot", "Keep the screen in view for an address-book entry",
              [shown] { (*shown)->TakeScreenshot(); }, rows),
  };
  edit.insert(edit.end(), rest.begin(), rest.end());
  return edit;
}
