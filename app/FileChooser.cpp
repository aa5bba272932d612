#include "app/FileChooser.h"

#include <wx/filedlg.h>

namespace {
wxString ShowFileDialog(wxWindow* parent, const FileRequest& request) {
  const long style = request.save ? (wxFD_SAVE | wxFD_OVERWRITE_PROMPT) : (wxFD_OPEN | wxFD_FILE_MUST_EXIST);
  wxFileDialog dialog(parent, request.title, wxEmptyString, wxEmptyString, request.wildcard, style);
  return dialog.ShowModal() == wxID_OK ? dialog.GetPath() : wxString();
}
}  // namespace

FileChooser& ProgramFileChooser() {
  static FileChooser chooser = ShowFileDialog;
  return chooser;
}
