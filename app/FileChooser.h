// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The file dialogs of the main window's commands, behind one replaceable
// function so that tests can answer them.
#include <wx/wx.h>

#include <functional>
#include <string>
#include <utility>

struct FileRequest {
  FileRequest(bool save, wxString title, wxString wildcard, bool folder = false, wxString start = {})
      : save(save), title(std::move(title)), wildcard(std::move(wildcard)), folder(folder), start(std::move(start)) {}

  bool save = false;  // a save dialog asks before overwriting
  wxString title;
  wxString wildcard;
  bool folder = false;  // a folder is chosen, starting at `start`
  wxString start;
};

// Returns the chosen path, or an empty string when the user cancels.
using FileChooser = std::function<wxString(wxWindow* parent, const FileRequest& request)>;

// The chooser in use; by default the toolkit's file dialog.
FileChooser& ProgramFileChooser();
