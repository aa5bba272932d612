// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's Buffer commands: Stash, and SEQ files to and from the
// stored buffer. A SEQ file holds the buffer's bytes exactly.
#include "app/FileChooser.h"
#include "app/LocaleText.h"
#include "app/MorlenFrame.h"
#include "app/SaveReport.h"
#include "settings/FileHelpers.h"

namespace {
constexpr const char* kSeqWildcard = "SEQ files|*.seq";
}

void MorlenFrame::OnStash() {
  storedBuffer = session->ActiveSession();
  storedTrimmed = session->ActiveSessionTrimmed();
  UpdateBufferStatus();
}

void MorlenFrame::OnLoadBuffer() {
  const wxString path = ProgramFileChooser()(this, FileRequest{false, "Choose a file to open", kSeqWildcard});
  if (path.empty()) return;
  LoadedFile file;
  // A file that cannot be read leaves the buffer as it was (and says nothing).
  if (!readWholeFile(ToByteString(path), file)) return;
  storedBuffer = std::move(file.bytes);
  storedTrimmed = false;
  UpdateBufferStatus();
  SetStatusText("Loaded " + path, 0);
}

void MorlenFrame::OnSaveBuffer() {
  const wxString path = ProgramFileChooser()(this, FileRequest{true, "Save Buffer As", kSeqWildcard});
  if (path.empty()) return;
  const std::string_view bytes(reinterpret_cast<const char*>(storedBuffer.data()), storedBuffer.size());
  // Replaced whole or not at all: a failed write keeps the file that was there.
  if (!SaveFileTelling(this, ToByteString(path), bytes)) return;
  // A stash of a trimmed session buffer holds only its latest bytes.
  const std::string trimmed = storedTrimmed ? " (only the " + RecordSizeText(storedBuffer.size(), true) + " received)" : "";
  SetStatusText("Saved " + path + trimmed, 0);
}
