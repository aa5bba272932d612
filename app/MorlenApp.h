// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The application object: prepares the process and the toolkit, loads the
// configuration, shows the main window; saves the configuration at exit.
#include <wx/wx.h>

#include <string>

class MorlenApp : public wxApp {
 public:
  bool OnInit() override;
  int OnExit() override;
};

// The start-up steps before the main window exists (also used by the GUI
// tests). Returns what the status bar should say about the configuration
// file, or the empty text.
std::string PrepareProgram();
// The save of the configuration as the program ends; a failure is told.
void SaveAtExit();
