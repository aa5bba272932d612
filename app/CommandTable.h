// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A window's commands, one row each: identifier, menu text (mnemonic, then a
// tab and the accelerator), help text, when it is enabled or checked, what
// it runs. The menu bar, the update rules and the accelerators are built
// from the rows, so adding a command touches its row and its action only.
// A command runs only while it is enabled; otherwise its accelerator's key
// goes on as if there were none (to the board, for a C64 function key).
#include <wx/wx.h>

#include <functional>
#include <vector>

struct CommandRow {
  int id = wxID_NONE;
  wxString text;  // "&Connect...\tF7"
  wxString help;
  wxItemKind kind = wxITEM_NORMAL;  // wxITEM_SEPARATOR: a separator row
  std::function<bool()> enabled;    // empty: always enabled
  std::function<bool()> checked;    // check and radio rows
  std::function<void()> run;
  std::vector<CommandRow> submenu;  // a submenu's rows; `id` names the submenu
};

CommandRow Command(int id, const wxString& text, const wxString& help, std::function<void()> run,
                   std::function<bool()> enabled = {});
// A check or radio row (`kind`); radio rows next to each other form a group.
CommandRow Choice(wxItemKind kind, int id, const wxString& text, const wxString& help, std::function<void()> run,
                  std::function<bool()> checked, std::function<bool()> enabled = {});
CommandRow Separator();
CommandRow Submenu(int id, const wxString& text, std::vector<CommandRow> rows);

class CommandTable {
 public:
  // The rows of the menu titled `title`, a new menu at the end of the bar
  // the first time. Rows may be added until Install.
  std::vector<CommandRow>& Menu(const wxString& title);
  // A key for a command that has no menu item of its own.
  void AddKey(int flags, int keyCode, int id);

  // Gives `frame` the menu bar, binds the commands and their update rules
  // and sets its accelerator table.
  void Install(wxFrame& frame);

  // The keys Install gave the frame, for a window adding its own.
  const std::vector<wxAcceleratorEntry>& Accelerators() const { return installedKeys; }

  const CommandRow* Find(int id) const;
  bool Enabled(int id) const;
  // Runs the command if it is enabled; true when it ran.
  bool Run(int id) const;

 private:
  struct MenuRows {
    wxString title;
    std::vector<CommandRow> rows;
  };
  std::vector<MenuRows> menus;
  std::vector<wxAcceleratorEntry> keys;
  std::vector<wxAcceleratorEntry> installedKeys;
};
