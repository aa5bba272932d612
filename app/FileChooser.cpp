// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/FileChooser.h"

#include <wx/dirdlg.h>
#include <wx/filedlg.h>

namespace {
wxString ShowFileDialog(wxWindow* parent, const FileRequest& request) {
  if (request.folder) {
    wxDirDialog dialog(parent, request.title, request.start, wxDD_DEFAULT_STYLE | wxDD_DIR_MUST_EXIST);
    return dialog.ShowModal() == wxID_OK ? dialog.GetPath() : wxString();
  }
  const long style = request.save ? (wxFD_SAVE | wxFD_OVERWRITE_PROMPT) : (wxFD_OPEN | wxFD_FILE_MUST_EXIST);
  wxFileDialog dialog(parent, request.title, wxEmptyString, wxEmptyString, request.wildcard, style);
  return dialog.ShowModal() == wxID_OK ? dialog.GetPath() : wxString();
}
}  // namespace

FileChooser& ProgramFileChooser() {
  static FileChooser chooser = ShowFileDialog;
  return chooser;
}
