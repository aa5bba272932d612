// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main window's message boxes, behind one replaceable function so that
// tests can answer them.
#include <wx/wx.h>

#include <cstddef>
#include <functional>
#include <vector>

struct MessageRequest {
  wxString caption;
  wxString message;
  // One to three answers; the last is the one closing the box gives.
  std::vector<wxString> answers;
  bool error = false;
};

// Returns the index of the answer chosen.
using MessagePrompt = std::function<std::size_t(wxWindow* parent, const MessageRequest& request)>;

// The prompt in use; by default the toolkit's message box.
MessagePrompt& ProgramMessagePrompt();
