// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CommandTable.h"

#include <algorithm>
#include <memory>

namespace {
wxMenu* BuildMenu(const std::vector<CommandRow>& rows) {
  auto* menu = new wxMenu;
  for (const CommandRow& row : rows) {
    if (row.kind == wxITEM_SEPARATOR)
      menu->AppendSeparator();
    else if (!row.submenu.empty())
      menu->AppendSubMenu(BuildMenu(row.submenu), row.text, row.help)->SetId(row.id);
    else
      menu->Append(new wxMenuItem(menu, row.id, row.text, row.help, row.kind));
  }
  return menu;
}

template <typename Visit>
void ForEachRow(const std::vector<CommandRow>& rows, const Visit& visit) {
  for (const CommandRow& row : rows) {
    visit(row);
    ForEachRow(row.submenu, visit);
  }
}
}  // namespace

CommandRow Command(int id, const wxString& text, const wxString& help, std::function<void()> run,
                   std::function<bool()> enabled) {
  CommandRow row;
  row.id = id;
  row.text = text;
  row.help = help;
  row.run = std::move(run);
  row.enabled = std::move(enabled);
  return row;
}

CommandRow Choice(wxItemKind kind, int id, const wxString& text, const wxString& help, std::function<void()> run,
                  std::function<bool()> checked, std::function<bool()> enabled) {
  CommandRow row = Command(id, text, help, std::move(run), std::move(enabled));
  row.kind = kind;
  row.checked = std::move(checked);
  return row;
}

CommandRow Separator() {
  CommandRow row;
  row.kind = wxITEM_SEPARATOR;
  return row;
}

CommandRow Submenu(int id, const wxString& text, std::vector<CommandRow> rows) {
  CommandRow row;
  row.id = id;
  row.text = text;
  row.submenu = std::move(rows);
  return row;
}

std::vector<CommandRow>& CommandTable::Menu(const wxString& title) {
  const auto found =
      std::find_if(menus.begin(), menus.end(), [&](const MenuRows& menu) { return menu.title == title; });
  if (found != menus.end()) return found->rows;
  menus.push_back({title, {}});
  return menus.back().rows;
}

void CommandTable::AddKey(int flags, int keyCode, int id) { keys.emplace_back(flags, keyCode, id); }

void CommandTable::Install(wxFrame& frame) {
  auto* bar = new wxMenuBar;
  for (const MenuRows& menu : menus) bar->Append(BuildMenu(menu.rows), menu.title);
  frame.SetMenuBar(bar);

  std::vector<wxAcceleratorEntry> accelerators = keys;
  for (const MenuRows& menu : menus) {
    ForEachRow(menu.rows, [&](const CommandRow& row) {
      const int id = row.id;
      if (row.run) {
        // A disabled command leaves its key to whoever comes next.
        frame.Bind(wxEVT_MENU, [this, id](wxCommandEvent& event) {
          if (!Run(id)) event.Skip();
        }, id);
      }
      if (row.enabled || row.checked) {
        frame.Bind(wxEVT_UPDATE_UI, [this, id](wxUpdateUIEvent& event) {
          const CommandRow* current = Find(id);
          if (current->enabled) event.Enable(current->enabled());
          if (current->checked) event.Check(current->checked());
        }, id);
      }
      const std::unique_ptr<wxAcceleratorEntry> key(wxAcceleratorEntry::Create(row.text));
      if (key && row.run) accelerators.emplace_back(key->GetFlags(), key->GetKeyCode(), id);
    });
  }
  // The frame's own table: the toolkit looks at it before the focused
  // window sees the key, so the terminal never takes a command's key.
  frame.SetAcceleratorTable(wxAcceleratorTable(static_cast<int>(accelerators.size()), accelerators.data()));
  installedKeys = std::move(accelerators);
}

const CommandRow* CommandTable::Find(int id) const {
  const CommandRow* found = nullptr;
  for (const MenuRows& menu : menus)
    ForEachRow(menu.rows, [&](const CommandRow& row) {
      if (!found && row.id == id && row.kind != wxITEM_SEPARATOR) found = &row;
    });
  return found;
}

bool CommandTable::Enabled(int id) const {
  const CommandRow* row = Find(id);
  return row && (!row->enabled || row->enabled());
}

bool CommandTable::Run(int id) const {
  const CommandRow* row = Find(id);
  if (!row || !row->run || !Enabled(id)) return false;
  row->run();
  return true;
}
