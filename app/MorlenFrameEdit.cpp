// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's Edit menu: the canvas's copies and pictures, and the
// paste of clipboard text into the board, which its paste feeder types at
// the line's pace.
#include "app/CommandIds.h"
#include "app/EditMenu.h"
#include "app/MessagePrompt.h"
#include "app/MorlenFrame.h"
#include "terminal/wxClipboardHandOver.h"

std::vector<CommandRow> MorlenFrame::EditCommands() {
  const std::vector<CommandRow> pasteRows = {
      Command(command::kPaste, "&Paste\tCtrl+Shift+V", "Type the clipboard's text into the board",
              [this] { OnPaste(); },
              [this] { return Connected() && !transfers->Running() && !paste->Running(); }),
      Command(command::kStopPaste, "S&top Paste\tEsc", "Stop typing the clipboard's text", [this] { paste->Stop(); },
              [this] { return paste->Running(); }),
  };
  return EditRows(*this, canvas, pasteRows, [this](const wxString& text) { SetStatusText(text, 0); });
}

void MorlenFrame::OnPaste() {
  const std::u32string text = qwx::TextOnClipboard();
  if (text.empty()) {
    SetStatusText("The clipboard holds no text", 0);
    return;
  }
  PasteKeys keys = TranslatePaste(text);
  if (keys.lines > PasteFeeder::kLinesWithoutAsking) {
    const wxString question =
        wxString::Format("Paste %zu lines (%zu characters) into the board?", keys.lines, keys.keys.size());
    if (ProgramMessagePrompt()(this, MessageRequest{"Paste", question, {"Paste", "Cancel"}}) != 0) return;
  }
  paste->Start(std::move(keys));
}
